// A navigation request in types: what every caller (the legacy command line,
// a batch line, the Python module) hands to Navigate, and the one set of
// field conversions they read it with.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "navstate/walk_request.h"

namespace rill {

// Which records the rows keep, by the first 8 characters of their codes
// (EndAtCUBoundary): all of them (0), those of the start's unit (1), none
// (any other value).
enum class UnitBoundary { All, SameUnit, Nothing };

inline UnitBoundary UnitBoundaryOf(std::int16_t endAtCUBoundary) {
  if (endAtCUBoundary == 0) return UnitBoundary::All;
  if (endAtCUBoundary == 1) return UnitBoundary::SameUnit;
  return UnitBoundary::Nothing;
}

// One navigation. A point may be named by its reach code (then every reach
// of that code holds it, and the first of them in the reach table starts
// the walk) or by its reach's Com_id (then that reach alone; the code, when
// given, must be that reach's).
struct NavigationRequest {
  NavKind kind = NavKind::None;
  std::string startReach;
  std::optional<std::int32_t> startComid;
  double startMeasure = 0.0;
  std::string endReach;  // point to point only
  std::optional<std::int32_t> endComid;
  double endMeasure = 0.0;
  Direction direction = Direction::Other;
  std::string directionText;  // as given, for the line that refuses a direction that is neither
  double distance = 0.0;      // in `units`; types 3 and 4 (and passed along by 5)
  DistanceUnit units = DistanceUnit::Meters;
  StartReachMode startMode = StartReachMode::AtMeasure;
  UnitBoundary boundary = UnitBoundary::All;
};

// Longest path of any file a navigation reads or writes.
inline constexpr std::size_t kMaxPathLength = 449;

// Field conversions shared by every reader of requests. Numbers read as
// atol and strtod read them (a 16-bit switch keeps the low 16 bits).
NavKind ReadNavKind(std::string_view text);
double ReadMeasure(std::string_view text);
std::int16_t ReadSwitch(std::string_view text);
Direction ReadDirection(std::string_view text);

// Units on the legacy command line: "MI" and "FT" exactly, anything else
// meters.
DistanceUnit ReadLegacyUnits(std::string_view text);

// Units everywhere else: MI, FT, M (also METERS, or nothing), KM, letter
// case ignored; nothing for any other text.
std::optional<DistanceUnit> ReadNamedUnits(std::string_view text);
// The message for a units text that ReadNamedUnits does not know.
std::string UnknownUnitsMessage(std::string_view text);

}  // namespace rill
