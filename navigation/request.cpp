#include "navigation/request.h"

#include "text/letter_case.h"
#include "text/number_text.h"

namespace rill {

namespace {

// The field as the C string the number readers take: it ends at a zero byte.
std::string AsCString(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

}  // namespace

NavKind ReadNavKind(std::string_view text) { return NavKindOf(ReadWhole(AsCString(text).c_str())); }

double ReadMeasure(std::string_view text) { return ReadDecimal(AsCString(text).c_str()); }

std::int16_t ReadSwitch(std::string_view text) { return Low16(ReadWhole(AsCString(text).c_str())); }

Direction ReadDirection(std::string_view text) {
  if (text == "U") return Direction::Up;
  if (text == "D") return Direction::Down;
  return Direction::Other;
}

DistanceUnit ReadLegacyUnits(std::string_view text) {
  if (text == "MI") return DistanceUnit::Miles;
  if (text == "FT") return DistanceUnit::Feet;
  return DistanceUnit::Meters;
}

std::optional<DistanceUnit> ReadNamedUnits(std::string_view text) {
  if (text.empty() || SameIgnoringCase(text, "M") || SameIgnoringCase(text, "METERS")) return DistanceUnit::Meters;
  if (SameIgnoringCase(text, "MI")) return DistanceUnit::Miles;
  if (SameIgnoringCase(text, "FT")) return DistanceUnit::Feet;
  if (SameIgnoringCase(text, "KM")) return DistanceUnit::Kilometers;
  return std::nullopt;
}

std::string UnknownUnitsMessage(std::string_view text) {
  return "DistanceUnits \"" + std::string(text) + "\" is none of MI, FT, M, KM";
}

}  // namespace rill
