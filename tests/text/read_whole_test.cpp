// Whole-number fields and the two 16-bit command-line fields.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "text/number_text.h"

namespace rill {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// glibc's atol is strtol in base 10; strtol also defines what happens on
// overflow (it saturates), which atol leaves undefined.
std::int32_t AtolClamped(const char* text) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > kMax) return kMax;
  if (value < kMin) return kMin;
  return static_cast<std::int32_t>(value);
}

TEST(ReadWhole, PlainAndSignedNumbers) {
  EXPECT_EQ(ReadWhole("42"), 42);
  EXPECT_EQ(ReadWhole("+8"), 8);
  EXPECT_EQ(ReadWhole("-17"), -17);
  EXPECT_EQ(ReadWhole("0007"), 7);
  EXPECT_EQ(ReadWhole("-0"), 0);
}

TEST(ReadWhole, SkipsCLocaleWhiteSpaceOnly) {
  EXPECT_EQ(ReadWhole(" \t\n\v\f\r-17"), -17);
  // A no-break space is not white space in the "C" locale.
  EXPECT_EQ(ReadWhole("\xa0"
                      "5"),
            0);
  // White space after the sign ends the number before any digit.
  EXPECT_EQ(ReadWhole("- 5"), 0);
}

TEST(ReadWhole, StopsAtFirstOtherCharacter) {
  EXPECT_EQ(ReadWhole("12 34"), 12);
  EXPECT_EQ(ReadWhole("3.9"), 3);
  EXPECT_EQ(ReadWhole("1e5"), 1);
  EXPECT_EQ(ReadWhole("0x1A"), 0);
  EXPECT_EQ(ReadWhole("71,Reach"), 71);
}

TEST(ReadWhole, NoDigitsGivesZero) {
  EXPECT_EQ(ReadWhole(""), 0);
  EXPECT_EQ(ReadWhole("abc"), 0);
  EXPECT_EQ(ReadWhole("-"), 0);
  EXPECT_EQ(ReadWhole("+-3"), 0);
  EXPECT_EQ(ReadWhole("   "), 0);
}

TEST(ReadWhole, ClampsToThe32BitRange) {
  EXPECT_EQ(ReadWhole("2147483647"), kMax);
  EXPECT_EQ(ReadWhole("2147483648"), kMax);
  EXPECT_EQ(ReadWhole("-2147483648"), kMin);
  EXPECT_EQ(ReadWhole("-2147483649"), kMin);
  EXPECT_EQ(ReadWhole("9223372036854775808"), kMax);
  EXPECT_EQ(ReadWhole("-99999999999999999999999999999999999999"), kMin);
  EXPECT_EQ(ReadWhole("00000000000000000000000000000000000012"), 12);
}

TEST(ReadWhole, MatchesAtolOnGeneratedText) {
  std::mt19937_64 random(20240611);
  const std::string spaces = " \t\n\v\f\r";
  const std::string tails = " .,xe+-0\t";
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  std::string text;
  for (int round = 0; round < 200000; ++round) {
    text.clear();
    for (std::size_t k = pick(4); k > 0; --k) text.push_back(spaces[pick(spaces.size())]);
    switch (pick(6)) {
      case 0:
        text.push_back('-');
        break;
      case 1:
        text.push_back('+');
        break;
      case 2:
        text.append(pick(2) ? "+-" : "--");
        break;
      default:
        break;
    }
    if (pick(4) == 0) text.append(pick(6), '0');
    const std::size_t digits = pick(4) == 0 ? pick(30) : pick(11);
    for (std::size_t k = 0; k < digits; ++k) text.push_back(static_cast<char>('0' + pick(10)));
    if (pick(2)) text.push_back(tails[pick(tails.size())]);
    if (pick(3) == 0) text.push_back(static_cast<char>('0' + pick(10)));
    ASSERT_EQ(ReadWhole(text.c_str()), AtolClamped(text.c_str())) << '"' << text << '"';
  }
}

TEST(Low16, KeepsTheLowSixteenBitsAsSigned) {
  EXPECT_EQ(Low16(1), 1);
  EXPECT_EQ(Low16(65537), 1);
  EXPECT_EQ(Low16(32767), 32767);
  EXPECT_EQ(Low16(32768), -32768);
  EXPECT_EQ(Low16(65535), -1);
  EXPECT_EQ(Low16(-1), -1);
  EXPECT_EQ(Low16(-65536), 0);
  EXPECT_EQ(Low16(kMax), -1);
  EXPECT_EQ(Low16(kMin), 0);
}

TEST(Low16, AfterReadingClampedText) {
  // 99999999999 clamps to 2147483647 = 0x7FFFFFFF, whose low half is 0xFFFF.
  EXPECT_EQ(Low16(ReadWhole("99999999999")), -1);
  // -99999999999 clamps to -2147483648 = 0x80000000, whose low half is 0.
  EXPECT_EQ(Low16(ReadWhole("-99999999999")), 0);
  EXPECT_EQ(Low16(ReadWhole("70000")), 70000 - 65536);
}

}  // namespace
}  // namespace rill
