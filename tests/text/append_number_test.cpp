// Numbers written exactly as glibc printf writes them with %d and %f.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "text/format.h"

namespace rill {
namespace {

std::string Fixed(double value, int width, int precision) {
  std::string out;
  AppendFixed(out, value, width, precision);
  return out;
}

std::string Whole(std::int64_t value, int width) {
  std::string out;
  AppendInt(out, value, width);
  return out;
}

std::string PrintfFixed(double value, int width, int precision) {
  std::vector<char> buf(2000);
  const int n = std::snprintf(buf.data(), buf.size(), "%*.*f", width, precision, value);
  return std::string(buf.data(), static_cast<std::size_t>(n));
}

std::string PrintfWhole(std::int64_t value, int width) {
  char buf[64];
  const int n = std::snprintf(buf, sizeof buf, "%*lld", width, static_cast<long long>(value));
  return std::string(buf, static_cast<std::size_t>(n));
}

// The widths and precisions of the log and result lines.
struct FixedShape {
  int width;
  int precision;
};
constexpr FixedShape kShapes[] = {{0, 6}, {10, 5}, {10, 2}, {20, 5}, {10, 3}, {20, 4}, {10, 4}, {0, 0}, {0, 1}};

// Expects `value` written in every one of those shapes as printf writes it.
void ExpectEveryShapeAsPrintf(double value) {
  for (const FixedShape& shape : kShapes)
    ASSERT_EQ(Fixed(value, shape.width, shape.precision), PrintfFixed(value, shape.width, shape.precision))
        << std::hexfloat << value << " %" << shape.width << '.' << shape.precision << 'f';
}

TEST(AppendFixed, ExactTiesRoundToEven) {
  EXPECT_EQ(Fixed(0.125, 0, 2), "0.12");
  EXPECT_EQ(Fixed(0.375, 0, 2), "0.38");
  EXPECT_EQ(Fixed(2.5, 0, 0), "2");
  EXPECT_EQ(Fixed(3.5, 0, 0), "4");
  EXPECT_EQ(Fixed(-0.5, 0, 0), "-0");
  EXPECT_EQ(Fixed(1.5, 0, 0), "2");
}

TEST(AppendFixed, RoundsTheBinaryValueNotTheDecimalLiteral) {
  // 1.005 is stored as 1.00499999999999989..., 2.675 as 2.67499999999999982...
  EXPECT_EQ(Fixed(1.005, 0, 2), "1.00");
  EXPECT_EQ(Fixed(2.675, 0, 2), "2.67");
  // 0.1 is 0.1000000000000000055511151231257827...
  EXPECT_EQ(Fixed(0.1, 0, 20), "0.10000000000000000555");
}

TEST(AppendFixed, NegativeZeroKeepsItsSign) {
  EXPECT_EQ(Fixed(-0.0, 0, 6), "-0.000000");
  EXPECT_EQ(Fixed(-0.0, 10, 5), "  -0.00000");
  EXPECT_EQ(Fixed(-0.001, 10, 2), "     -0.00");
  EXPECT_EQ(Fixed(0.0, 10, 5), "   0.00000");
}

TEST(AppendFixed, InfinityAndNan) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Fixed(inf, 0, 6), "inf");
  EXPECT_EQ(Fixed(-inf, 10, 5), "      -inf");
  EXPECT_EQ(Fixed(nan, 0, 2), "nan");
  EXPECT_EQ(Fixed(-nan, 0, 2), "-nan");
  EXPECT_EQ(Fixed(std::copysign(nan, -1.0), 10, 5), "      -nan");
  EXPECT_EQ(Fixed(nan, 3, 2), "nan");
}

TEST(AppendFixed, AllDigitsOfLargeValues) {
  EXPECT_EQ(Fixed(1180591620717411303424.0, 0, 1), "1180591620717411303424.0");  // 2^70
  EXPECT_EQ(Fixed(-99999999999999.0, 10, 5), "-99999999999999.00000");
  EXPECT_EQ(Fixed(1e300, 20, 5), PrintfFixed(1e300, 20, 5));
  EXPECT_EQ(Fixed(1e300, 20, 5).size(), 301u + 6u);
  EXPECT_EQ(Fixed(-std::numeric_limits<double>::max(), 0, 0).size(), 310u);
}

TEST(AppendFixed, TinyValues) {
  EXPECT_EQ(Fixed(5e-324, 0, 5), "0.00000");
  EXPECT_EQ(Fixed(-5e-324, 10, 5), "  -0.00000");
  EXPECT_EQ(Fixed(0.000005, 0, 5), "0.00001");  // 5e-6 is stored a little above
  EXPECT_EQ(Fixed(0.0000049, 0, 5), "0.00000");
}

TEST(AppendFixed, WidthIsAMinimum) {
  EXPECT_EQ(Fixed(123.456, 10, 2), "    123.46");
  EXPECT_EQ(Fixed(1234567.125, 10, 2), "1234567.12");
  EXPECT_EQ(Fixed(12345678.5, 10, 2), "12345678.50");
  EXPECT_EQ(Fixed(-1234567.5, 10, 2), "-1234567.50");
  EXPECT_EQ(Fixed(7.0, -6, 1), "7.0   ");
}

TEST(AppendFixed, AppendsToWhatIsThere) {
  std::string out = "Length:";
  AppendFixed(out, 2.5, 6, 1);
  EXPECT_EQ(out, "Length:   2.5");
}

TEST(AppendFixed, LongPrecisionsGiveTheExactExpansion) {
  const double tiny = std::numeric_limits<double>::denorm_min();
  for (int precision : {17, 40, 96, 97, 200, 1074, 1080})
    for (double value : {tiny, -tiny, 0.1, 1e300, -2.5e-310, 1.0 / 3.0})
      ASSERT_EQ(Fixed(value, 0, precision), PrintfFixed(value, 0, precision)) << precision;
  EXPECT_EQ(Fixed(1.5, 0, -1), "1.500000");
}

TEST(AppendFixed, MatchesPrintfOnRandomBitPatterns) {
  std::mt19937_64 random(3);
  for (int round = 0; round < 8000; ++round) {
    ASSERT_NO_FATAL_FAILURE(ExpectEveryShapeAsPrintf(std::bit_cast<double>(random())));
  }
}

// Values of the size of measures and distances, and the ties among them.
TEST(AppendFixed, MatchesPrintfOnMeasuresAndTies) {
  std::mt19937_64 random(5);
  for (int round = 0; round < 6000; ++round) {
    const double scale = std::pow(10.0, static_cast<double>(random() % 12));
    const double value = static_cast<double>(static_cast<std::int64_t>(random() % 20000000) - 10000000) / scale;
    ExpectEveryShapeAsPrintf(value);
    // An odd number of 2^-k with k up to 8 is an exact tie at precision k-1.
    const double tie = static_cast<double>(2 * static_cast<std::int64_t>(random() % 100000) + 1) /
                       static_cast<double>(1 << (1 + random() % 8));
    ExpectEveryShapeAsPrintf(tie);
    ExpectEveryShapeAsPrintf(-tie);
    ExpectEveryShapeAsPrintf(std::nextafter(tie, 0.0));
    ExpectEveryShapeAsPrintf(std::nextafter(tie, 1e9));
  }
}

// Whole values take a shorter way than other values: both sides of its limits.
TEST(AppendFixed, WholeValuesAtTheEdgesOfTheirShortWay) {
  for (double value : {0.0, -0.0, 100.0, -7.0, 999999999999999.0, 1e15, -999999999999999.0, -1e15, 9007199254740992.0})
    for (int precision : {0, 1, 5, 40, 41, 60}) {
      ASSERT_EQ(Fixed(value, 10, precision), PrintfFixed(value, 10, precision)) << value << " " << precision;
      ASSERT_EQ(Fixed(value, -30, precision), PrintfFixed(value, -30, precision)) << value << " " << precision;
    }
}

TEST(AppendInt, EdgesOfTheRange) {
  EXPECT_EQ(Whole(INT_MIN, 0), "-2147483648");
  EXPECT_EQ(Whole(INT_MAX, 0), "2147483647");
  EXPECT_EQ(Whole(INT_MAX, 10), "2147483647");
  EXPECT_EQ(Whole(INT_MIN, 10), "-2147483648");
  EXPECT_EQ(Whole(INT_MIN, 3), "-2147483648");
  EXPECT_EQ(Whole(std::numeric_limits<std::int64_t>::min(), 0), "-9223372036854775808");
  EXPECT_EQ(Whole(std::numeric_limits<std::int64_t>::max(), 0), "9223372036854775807");
}

TEST(AppendInt, WidthPadsOnTheLeft) {
  EXPECT_EQ(Whole(5, 3), "  5");
  EXPECT_EQ(Whole(-5, 3), " -5");
  EXPECT_EQ(Whole(0, 10), "         0");
  EXPECT_EQ(Whole(1234, 3), "1234");
  EXPECT_EQ(Whole(12, -4), "12  ");
  EXPECT_EQ(Whole(0, 0), "0");
}

TEST(AppendInt, MatchesPrintf) {
  std::mt19937_64 random(9);
  for (int round = 0; round < 100000; ++round) {
    const std::uint64_t bits = random();
    const std::int64_t value =
        (round % 2) ? static_cast<std::int32_t>(bits) : static_cast<std::int64_t>(bits >> (bits % 64));
    for (int width : {0, 3, 10, 20, -12})
      ASSERT_EQ(Whole(value, width), PrintfWhole(value, width)) << value << ' ' << width;
  }
}

}  // namespace
}  // namespace rill
