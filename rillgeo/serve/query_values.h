// The values a linked-data URL carries, read and checked: a distance, a
// point, a flag, a tolerance, an id. Each reader gives the value, or the
// sentence a 400 answer says; nothing read here reaches a file path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/status.h"

namespace rill::geo {

// A distance in km: nothing for an empty text (no limit), else a finite
// number above 0 written as strtod reads it, the whole text.
StatusOr<std::optional<double>> ReadDistanceKm(std::string_view text);

// POINT(lon lat) in WGS 84, blanks around the numbers and the word's letter
// case free; lon within -180..180, lat within -90..90.
struct LonLat {
  double lon = 0.0;
  double lat = 0.0;
};
StatusOr<LonLat> ReadPoint(std::string_view text);

// true or false (letter case ignored); `fallback` for an empty text.
StatusOr<bool> ReadFlag(std::string_view name, std::string_view text, bool fallback);

// A finite number within [low, high], the whole text; `fallback` when empty.
StatusOr<double> ReadNumberWithin(std::string_view name, std::string_view text, double low, double high,
                                  double fallback);

// A flowline id: whole decimal digits, at most 18 of them.
std::optional<std::int64_t> ReadComid(std::string_view text);

}  // namespace rill::geo
