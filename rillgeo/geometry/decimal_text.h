// Exact decimal arithmetic on the text of lengths, and the shortest text of
// a measure: the tables must come out byte for byte the same whichever
// source format held the numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rill::geo {

// A non-negative decimal in units of 1e-12, read exactly from its text
// ("1.5065", "12", ".5"; decimals past the twelfth are dropped); nothing
// for text that is not such a number.
std::optional<std::int64_t> ReadPicoUnits(std::string_view text);

// Kilometres in units of 1e-12 km as whole metres, halves rounded up.
std::int64_t MetersRoundedHalfUp(std::int64_t picoKm);

// The shortest text that reads back as the same double, without exponent:
// "0", "100", "45.12345".
std::string ShortestText(double value);

}  // namespace rill::geo
