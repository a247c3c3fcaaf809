#include "text/number_text.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace rill {

namespace {

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Characters that can belong to a plain decimal number such as "-12.5e-3".
bool IsPlainNumberChar(char c) { return IsDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-'; }

// True when the text starts with the forms std::from_chars reads the way
// strtod does: an optional '-', then digits or a point followed by a digit,
// and not the "0x" of a hexadecimal number.
bool StartsPlainDecimal(const char* text) {
  const char* p = (*text == '-') ? text + 1 : text;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return false;
  return IsDigit(p[0]) || (p[0] == '.' && IsDigit(p[1]));
}

}  // namespace

std::int32_t ReadWhole(const char* text) {
  const char* p = text;
  while (IsCSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = (*p == '-');
    ++p;
  }
  // Saturate as soon as the value leaves the 32-bit range: the clamped
  // answer no longer depends on the digits that follow.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  while (IsDigit(*p)) {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (*p - '0');
    ++p;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

double ReadDecimal(const char* text) {
  // Table fields are nearly always plain decimals; from_chars reads those
  // with the same correct rounding as strtod, several times faster. Anything
  // else (white space, '+', hexadecimal, inf, nan, out of range) goes to strtod.
  if (StartsPlainDecimal(text)) {
    const char* end = text + 1;
    while (IsPlainNumberChar(*end)) ++end;
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(text, end, value);
    if (result.ec == std::errc{}) return value;
  }
  return std::strtod(text, nullptr);
}

std::int16_t Low16(std::int32_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
}

}  // namespace rill
