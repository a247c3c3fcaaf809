// The printf subset of the log and result lines.
#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>

#include "text/format.h"

namespace rill {
namespace {

template <typename... Args>
std::string Format(std::string_view format, const Args&... args) {
  std::string out;
  AppendPrintf(out, format, args...);
  return out;
}

TEST(AppendFormat, EveryConversionOfTheSubset) {
  EXPECT_EQ(Format("Flow %d: set to %s\n", 918, "0"), "Flow 918: set to 0\n");
  EXPECT_EQ(Format("[%10d][%3d]", -42, 7), "[       -42][  7]");
  EXPECT_EQ(Format("%f", 1.5), "1.500000");
  EXPECT_EQ(Format("%10.5f|%10.2f|%20.5f", 2.0, -0.125, 1e6), "   2.00000|     -0.12|       1000000.00000");
  EXPECT_EQ(Format("%10.3f|%20.4f|%10.4f", 0.0005, 1.0 / 3.0, -12345.6789),
            "     0.001|              0.3333|-12345.6789");
  EXPECT_EQ(Format("100%%"), "100%");
  EXPECT_EQ(Format("%5s|%s|%1s", "ab", "", "xyz"), "   ab||xyz");
  EXPECT_EQ(Format("no conversions"), "no conversions");
  EXPECT_EQ(Format(""), "");
}

TEST(AppendFormat, AcceptsEveryWholeAndTextType) {
  const std::string owned = "reach";
  const std::string_view view = "code";
  EXPECT_EQ(Format("%d %d %d", std::int16_t{-3}, std::int64_t{1} << 40, INT_MIN), "-3 1099511627776 -2147483648");
  EXPECT_EQ(Format("%s-%s", owned, view), "reach-code");
}

TEST(AppendFormat, AppendsToWhatIsThere) {
  std::string out = "Start: ";
  AppendPrintf(out, "%d\n", 12);
  AppendPrintf(out, "%s", "end");
  EXPECT_EQ(out, "Start: 12\nend");
}

TEST(AppendFormat, MismatchedArgumentsAreProgrammingErrors) {
  std::string out;
  EXPECT_THROW(AppendPrintf(out, "%d", 1.5), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%f", 2), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%s", 2), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%d %d", 1), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%d", 1, 2), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "no conversion", 1), std::logic_error);
}

TEST(AppendFormat, ConversionsOutsideTheSubsetAreRefused) {
  std::string out;
  EXPECT_THROW(AppendPrintf(out, "%x", 1), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%05d", 1), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%-5d", 1), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%.2d", 1), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%.2s", "abc"), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%ld", 1), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "50%"), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%10.", 1.0), std::logic_error);
  EXPECT_THROW(AppendPrintf(out, "%99999999999d", 1), std::logic_error);
}

// Random lines built from the conversions the program uses, against snprintf
// with the same format and the same arguments.
TEST(AppendFormat, MatchesPrintfOnGeneratedLines) {
  std::mt19937_64 random(17);
  const char* wholeFormats[] = {"%d", "%10d", "%3d"};
  const char* realFormats[] = {"%f", "%10.5f", "%10.2f", "%20.5f", "%10.3f", "%20.4f", "%10.4f"};
  const char* words[] = {"", "x", "Reach 12", "a,b;c", "long text with spaces and 100%"};
  char buf[4096];
  for (int round = 0; round < 30000; ++round) {
    const int whole = static_cast<int>(static_cast<std::uint32_t>(random()) >> (random() % 32));
    const double real = (round % 3 == 0)
                            ? std::bit_cast<double>(random())
                            : static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) / 1000.0;
    const char* word = words[random() % 5];
    std::string format = "Line ";
    format += wholeFormats[random() % 3];
    format += " of %s: ";
    format += realFormats[random() % 7];
    format += "%%\n";
    const int n = std::snprintf(buf, sizeof buf, format.c_str(), whole, word, real);
    ASSERT_EQ(Format(format, whole, word, real), std::string(buf, static_cast<std::size_t>(n))) << format;
  }
}

// A format read when compiled writes what the same format read each time
// writes (and so what printf writes), and refuses the same arguments.
TEST(LineFormat, WritesWhatTheFormatReadEachTimeWrites) {
  static constexpr LineFormat kMixed{"Line %d of %s: %10.5f|%20.5f|%10.2f|%f|%3d|%10d%%\n"};
  static constexpr LineFormat kTextOnly{"Continue? - YES\n"};
  static constexpr LineFormat kEdges{"%%%d%%%s%%"};
  static constexpr LineFormat kEmpty{""};
  std::mt19937_64 random(31);
  const char* words[] = {"", "x", "01010001000001", "a,b;c", "100%"};
  for (int round = 0; round < 20000; ++round) {
    const int whole = static_cast<int>(static_cast<std::uint32_t>(random()) >> (random() % 32));
    const double real = (round % 3 == 0)
                            ? std::bit_cast<double>(random())
                            : static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) / 1000.0;
    const double other = -real / 3.0;
    const char* word = words[random() % 5];
    std::string compiled = "kept ";
    AppendLine(compiled, kMixed, whole, word, real, other, real, other, std::int16_t{-7}, std::int64_t{whole});
    ASSERT_EQ(compiled, "kept " + Format("Line %d of %s: %10.5f|%20.5f|%10.2f|%f|%3d|%10d%%\n", whole, word, real,
                                         other, real, other, std::int16_t{-7}, std::int64_t{whole}));
  }
  std::string out;
  AppendLine(out, kTextOnly);
  AppendLine(out, kEdges, 5, "s");
  AppendLine(out, kEmpty);
  EXPECT_EQ(out, "Continue? - YES\n%5%s%");
  EXPECT_THROW(AppendLine(out, kEdges, 1.5, "s"), std::logic_error);
  EXPECT_THROW(AppendLine(out, kEdges, 5), std::logic_error);
  EXPECT_THROW(AppendLine(out, kTextOnly, 5), std::logic_error);
}

}  // namespace
}  // namespace rill
