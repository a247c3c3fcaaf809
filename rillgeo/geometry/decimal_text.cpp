#include "rillgeo/geometry/decimal_text.h"

#include <charconv>
#include <limits>

namespace rill::geo {

namespace {
constexpr int kDecimals = 12;
constexpr std::int64_t kUnit = 1'000'000'000'000;
}  // namespace

std::optional<std::int64_t> ReadPicoUnits(std::string_view text) {
  std::int64_t whole = 0;
  std::int64_t fraction = 0;
  int decimals = 0;
  bool digits = false;
  bool point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') return std::nullopt;
    digits = true;
    const int digit = c - '0';
    if (!point) {
      if (whole > (std::numeric_limits<std::int64_t>::max() / kUnit - 9) / 10) return std::nullopt;
      whole = whole * 10 + digit;
    } else if (decimals < kDecimals) {
      fraction = fraction * 10 + digit;
      ++decimals;
    }  // later decimals (a double's text: 0.30000000000000004) move no metre
  }
  if (!digits) return std::nullopt;
  for (; decimals < kDecimals; ++decimals) fraction *= 10;
  return whole * kUnit + fraction;
}

std::int64_t MetersRoundedHalfUp(std::int64_t picoKm) {
  constexpr std::int64_t kPicoKmPerMeter = kUnit / 1000;
  return (picoKm + kPicoKmPerMeter / 2) / kPicoKmPerMeter;
}

std::string ShortestText(double value) {
  if (value == 0.0) return "0";  // also -0: a measure has no sign
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

}  // namespace rill::geo
