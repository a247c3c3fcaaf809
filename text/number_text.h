#pragma once

#include <cstdint>

namespace rill {

// Whole number as atol reads it (leading white space, optional sign, decimal
// digits up to the first other character, 0 without digits), clamped to the
// 32-bit signed range.
std::int32_t ReadWhole(const char* text);

// Decimal number exactly as strtod reads it in the "C" locale (white space,
// sign, exponent, inf, nan and hexadecimal forms included); 0.0 without a number.
double ReadDecimal(const char* text);

// The low 16 bits of a 32-bit value, as a signed 16-bit number (65537 gives 1).
std::int16_t Low16(std::int32_t value);

}  // namespace rill
