// A navigation request from named arguments, as the packages (Python, R)
// take one: a mode word or a NavType with a direction, a start and, point
// to point, an end, each by reach code or Com_id. The packages check each
// argument's type; what the values say together is checked here, once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "navigation/request.h"
#include "text/status.h"

namespace rill {

// The arguments, already of their types; nothing stands for one not given.
struct NamedRequest {
  std::optional<std::string> mode;  // "UM", "UT", "DM", "DD" or "PP", letter case ignored
  std::optional<NavKind> navType;   // 1 to 5, with a direction
  std::optional<std::string> direction;
  std::optional<std::string> startReach;
  std::optional<std::int32_t> startComid;
  double startMeasure = 0.0;
  double distance = 0.0;
  std::string units = "M";
  std::optional<std::string> endReach;
  std::optional<std::int32_t> endComid;
  double endMeasure = 0.0;
  std::int16_t wholeReachStart = 0;
  std::int16_t endAtCuBoundary = 0;
};

// Sets the kind and direction of `request` from a mode word (letter case
// ignored) and the direction, when one is given: "UM" upstream main path,
// "UT" upstream with tributaries, "DM" downstream main path, "DD" downstream
// with divergences, each to a distance when `request.distance` is above 0
// (so set the distance first); "PP" point to point, down unless a direction
// is given. Fails (Unusable) naming the mode for an unknown word, or the
// direction when it contradicts the mode's; the request is then unchanged.
Status ApplyModeWord(std::string_view word, std::optional<Direction> direction, NavigationRequest& request);

// The request the arguments make. Fails (Unusable) with a message naming
// the argument: a direction other than U or D, mode and nav_type both or
// neither, no start, an end missing for point to point or given for another
// kind, units other than MI, FT, M, KM.
StatusOr<NavigationRequest> RequestOfNamed(const NamedRequest& named);

}  // namespace rill
