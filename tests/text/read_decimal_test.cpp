// Decimal fields must read to the very bit strtod gives in the "C" locale.
#include <gtest/gtest.h>

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "text/number_text.h"

namespace rill {
namespace {

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

// Both the value and the sign of zero and the payload of a NaN must agree.
void ExpectSameAsStrtod(const std::string& text) {
  const double expected = std::strtod(text.c_str(), nullptr);
  const double actual = ReadDecimal(text.c_str());
  ASSERT_EQ(Bits(actual), Bits(expected)) << '"' << text << "\" read as " << actual << ", strtod gives " << expected;
}

void ExpectBits(const char* text, double expected) {
  EXPECT_EQ(Bits(ReadDecimal(text)), Bits(expected)) << '"' << text << '"';
}

TEST(ReadDecimal, PlainDecimals) {
  ExpectBits("0.5", 0.5);
  ExpectBits("100", 100.0);
  ExpectBits("-12.25", -12.25);
  ExpectBits(".5", 0.5);
  ExpectBits("-.75", -0.75);
  ExpectBits("1.", 1.0);
  ExpectBits("1.e2", 100.0);
  ExpectBits("0.1", 0.1);
  ExpectBits("3.14159", 3.14159);
}

TEST(ReadDecimal, SignOfZero) {
  ExpectBits("0", 0.0);
  ExpectBits("-0", -0.0);
  ExpectBits("-0.000", -0.0);
  ExpectBits("+0", 0.0);
  ExpectBits("-1e-400", -0.0);
}

TEST(ReadDecimal, StopsAtFirstOtherCharacter) {
  ExpectBits("12,5", 12.0);
  ExpectBits("1e", 1.0);
  ExpectBits("1e+", 1.0);
  ExpectBits("1e-x", 1.0);
  ExpectBits("1.5e-3x", 1.5e-3);
  ExpectBits("2.5.3", 2.5);
  ExpectBits("7-3", 7.0);
  ExpectBits("1e5e3", 1e5);
}

TEST(ReadDecimal, NoNumberGivesZero) {
  EXPECT_EQ(ReadDecimal(""), 0.0);
  EXPECT_EQ(ReadDecimal("."), 0.0);
  EXPECT_EQ(ReadDecimal("-."), 0.0);
  EXPECT_EQ(ReadDecimal("e5"), 0.0);
  EXPECT_EQ(ReadDecimal("abc"), 0.0);
  EXPECT_EQ(ReadDecimal("--1"), 0.0);
}

TEST(ReadDecimal, WhiteSpaceAndPlus) {
  ExpectBits(" \t\n\v\f\r2.5", 2.5);
  ExpectBits("+1.5", 1.5);
  ExpectBits("  -3", -3.0);
  ExpectBits("+-3", 0.0);
}

TEST(ReadDecimal, RoundsHalfwayCasesToEven) {
  // 2^53 + 1 lies halfway between 2^53 and 2^53 + 2: the even one wins.
  ExpectBits("9007199254740993", 9007199254740992.0);
  // 2^53 + 3 lies halfway between 2^53 + 2 and 2^53 + 4.
  ExpectBits("9007199254740995", 9007199254740996.0);
  // Just above the halfway point rounds up, however many digits it takes.
  ExpectBits("9007199254740993.00000000000000000000000000001", 9007199254740994.0);
  ExpectBits("1e23", 1e23);
  ExpectBits("8.98846567431157953864652595394512366e307", 8.98846567431157953864652595394512366e307);
}

TEST(ReadDecimal, DenormalsAndTheirBoundaries) {
  const double smallest = std::numeric_limits<double>::denorm_min();
  ExpectBits("4.9406564584124654e-324", smallest);
  ExpectBits("5e-324", smallest);
  // Half the smallest denormal is 2.4703282292062327208...e-324: below it
  // the value is 0, above it the smallest denormal, exactly on it 0 (even).
  ExpectBits("2.4703282292062327e-324", 0.0);
  ExpectBits("2.4703282292062328e-324", smallest);
  ExpectBits(
      "2."
      "4703282292062327208828439643411068618252990130716238221279284125033775363510437593264991818081799618989828234772"
      "2858865463328355177969898199387398005390939063150356595155702263922908583924491051844359318028499365361525003193"
      "7045767824921936562366986365848075700158576926990370631192827955855133292783433840935197801553124659726357957462"
      "2766465272827220056374006485499977096599470454020828166226237857393450736339007967761930577506740176324673600968"
      "9513405355374585166611342237666786041621596804619144672918403005300575308490487653917113865916462395249126236538"
      "8187963623937328042389101867234849766823508986338858792562830275599565752445550725518931369083625477918694866799"
      "4968324049705821028513185451396213837722826145437693412532098591327667236328125e-324",
      0.0);
  ExpectBits("2.2250738585072014e-308", std::numeric_limits<double>::min());
  ExpectBits("2.2250738585072009e-308", 2.2250738585072009e-308);
  ExpectBits("1e-400", 0.0);
}

TEST(ReadDecimal, OverflowGivesHugeVal) {
  ExpectBits("1e400", HUGE_VAL);
  ExpectBits("-1e400", -HUGE_VAL);
  ExpectBits("1.7976931348623157e308", std::numeric_limits<double>::max());
  // DBL_MAX is 2^1024 - 2^971; from the midpoint 2^1024 - 2^970 =
  // 1.79769313486231580793728971405303415079934...e308 on, the value overflows.
  ExpectBits("1.7976931348623158e308", std::numeric_limits<double>::max());
  ExpectBits("1.7976931348623158079372897140530341507993e308", std::numeric_limits<double>::max());
  ExpectBits("1.7976931348623158079372897140530341507994e308", HUGE_VAL);
}

TEST(ReadDecimal, InfinityAndNanInAnyCase) {
  ExpectBits("inf", HUGE_VAL);
  ExpectBits("-INF", -HUGE_VAL);
  ExpectBits("Infinity", HUGE_VAL);
  ExpectBits("+iNfInItY", HUGE_VAL);
  ExpectBits("infinit", HUGE_VAL);
  EXPECT_TRUE(std::isnan(ReadDecimal("nan")));
  EXPECT_TRUE(std::isnan(ReadDecimal("NaN(123)")));
  EXPECT_TRUE(std::signbit(ReadDecimal("-nan")));
  EXPECT_FALSE(std::signbit(ReadDecimal("nan")));
  for (const char* text :
       {"nan", "-NAN", "nan()", "nan(0x7)", "nan(abc_9)", "nan(12", "nAn(1)x", "  -Inf", "infx", "in", "na", "-i"})
    ExpectSameAsStrtod(text);
}

TEST(ReadDecimal, HexadecimalFloats) {
  ExpectBits("0x1p-2", 0.25);
  ExpectBits("0X1.8P1", 3.0);
  ExpectBits("-0x10", -16.0);
  ExpectBits("0xg", 0.0);
  ExpectBits("0x", 0.0);
  ExpectBits("0x.8", 0.5);
  ExpectBits("0x1p", 1.0);
  ExpectBits("0x1.fffffffffffff8p1023", HUGE_VAL);
  ExpectBits("0x1p-1074", std::numeric_limits<double>::denorm_min());
}

// Every double written in the ways a table or a person might write it.
TEST(ReadDecimal, MatchesStrtodOnWrittenDoubles) {
  std::mt19937_64 random(7);
  char buf[1200];
  const char* formats[] = {"%.17g", "%.15g", "%.6f", "%.25e", "%a", "%.3g", "%.20f"};
  for (int round = 0; round < 20000; ++round) {
    const double value = std::bit_cast<double>(random());
    for (const char* format : formats) {
      std::snprintf(buf, sizeof buf, format, value);
      ExpectSameAsStrtod(buf);
    }
    // 17 significant digits name every double exactly.
    std::snprintf(buf, sizeof buf, "%.17g", value);
    if (!std::isnan(value)) {
      ASSERT_EQ(Bits(ReadDecimal(buf)), Bits(value)) << buf;
    }
  }
}

// Measures and lengths as they stand in the tables: a few digits, some
// decimals, sometimes an exponent.
TEST(ReadDecimal, MatchesStrtodOnGeneratedText) {
  std::mt19937_64 random(11);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  const std::string spaces = " \t\n\v\f\r";
  const std::string tails = " ,;xe+-.Ee\t";
  std::string text;
  for (int round = 0; round < 200000; ++round) {
    text.clear();
    if (pick(8) == 0) text.push_back(spaces[pick(spaces.size())]);
    switch (pick(6)) {
      case 0:
      case 1:
        text.push_back('-');
        break;
      case 2:
        text.push_back('+');
        break;
      default:
        break;
    }
    const std::size_t whole = pick(5) == 0 ? pick(40) : pick(8);
    for (std::size_t k = 0; k < whole; ++k) text.push_back(static_cast<char>('0' + pick(10)));
    if (pick(3) != 0) {
      text.push_back('.');
      const std::size_t decimals = pick(5) == 0 ? pick(40) : pick(8);
      for (std::size_t k = 0; k < decimals; ++k) text.push_back(static_cast<char>('0' + pick(10)));
    }
    if (pick(4) == 0) {
      text.push_back(pick(2) ? 'e' : 'E');
      if (pick(2)) text.push_back(pick(2) ? '-' : '+');
      const std::size_t digits = pick(5);
      for (std::size_t k = 0; k < digits; ++k) text.push_back(static_cast<char>('0' + pick(10)));
    }
    if (pick(3) == 0) text.push_back(tails[pick(tails.size())]);
    if (pick(4) == 0) text.push_back(static_cast<char>('0' + pick(10)));
    ExpectSameAsStrtod(text);
  }
}

// Exact ties at every scale: an odd multiple of half a unit in the last
// place, written out with all its digits.
TEST(ReadDecimal, MatchesStrtodOnHalfwayPoints) {
  std::mt19937_64 random(13);
  char buf[1600];
  for (int round = 0; round < 8000; ++round) {
    double value = std::bit_cast<double>(random() & 0x7fefffffffffffffULL);
    if (std::isnan(value) || std::isinf(value)) continue;
    const double above = std::nextafter(value, HUGE_VAL);
    // value/2 + above/2 is exact in long double's wider mantissa.
    const long double middle = static_cast<long double>(value) / 2 + static_cast<long double>(above) / 2;
    std::snprintf(buf, sizeof buf, "%.40Le", middle);
    ExpectSameAsStrtod(buf);
    std::snprintf(buf, sizeof buf, "%.1100Lf", middle);
    ExpectSameAsStrtod(buf);
  }
  for (int k = 1; k < 2000; ++k) {
    // Integers above 2^53 that end in ...1, ...3 are halfway between doubles.
    std::snprintf(buf, sizeof buf, "%" PRIu64, (std::uint64_t{1} << 53) + 2 * static_cast<std::uint64_t>(k) - 1);
    ExpectSameAsStrtod(buf);
  }
}

}  // namespace
}  // namespace rill
