// A data frame's numbers are those a reader of the result CSV gets back:
// each value rounded as printf prints it, read back as strtod reads it; and
// the CSV line, written field by field, is the line printf writes.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "navigation/navigation.h"

namespace rill {
namespace {

double ThroughText(const char* format, double value) {
  char text[512];
  std::snprintf(text, sizeof text, format, value);
  return std::strtod(text, nullptr);
}

// The line printf writes from the result CSV's format.
std::string PrintfLine(const ResultRow& r) {
  char text[2048];
  const int n =
      std::snprintf(text, sizeof text, "\"%s\",%10d,\"%s\",%d,%10.3f,%10.3f,%20.4f,%10.4f\n", r.reach->Rch_code,
                    r.comId, r.reach->Rch_date, r.reach->Duu_id, r.fromMeasure, r.toMeasure, r.distance, r.length);
  return std::string(text, static_cast<std::size_t>(n));
}

std::string Line(const ResultRow& row) {
  std::string line = "kept,";
  AppendResultLine(line, row);
  return line.substr(5);
}

TEST(PrintedRow, EveryValueAsTheCsvLineReadsBack) {
  // Codes and dates full, empty and odd; whole numbers at their extremes.
  const ReachRecord reaches[] = {{2032187, "01010001000001", "20120905", 0, 0, 90000000},
                                 {0, "", "", 0, 0, 0},
                                 {-1, "a,b", "1", 0, 0, INT_MIN},
                                 {INT_MAX, "abcdefghijklmn", "99999999", 0, 0, INT_MAX}};
  std::vector<double> values = {0.0,
                                -0.0,
                                0.0625,
                                0.00005,
                                0.0005,
                                1.0005,
                                2.5e-4,
                                123.4565,
                                1e-300,
                                1e22,
                                -1e300,
                                99.99995,
                                0.12345,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::denorm_min()};
  // Exact ties at 3 places are odd sixteenths, at 4 odd thirty-seconds; and their neighbours.
  for (int k = -40; k <= 40; k += 1) {
    for (double tie :
         {(2 * k + 1) / 16.0, (2 * k + 1) / 32.0, (2 * k + 1) / 16.0 + 1e6, (2 * k + 1) / 32.0 + 12345.0}) {
      values.push_back(tie);
      values.push_back(std::nextafter(tie, 1e300));
      values.push_back(std::nextafter(tie, -1e300));
    }
  }
  for (double big : {4.5e11, 4.503599627e12, 9.1e14, 5e15, -4.5e11 - 0.00005}) values.push_back(big);
  std::mt19937_64 random(23);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 20000; ++i)
    values.push_back((unit(random) - 0.5) * std::pow(10.0, static_cast<int>(random() % 24) - 6));
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double v = values[i];
    ResultRow row;
    row.reach = &reaches[i % std::size(reaches)];
    row.comId = row.reach->Com_id;
    row.fromMeasure = v;
    row.toMeasure = -v;
    row.distance = v;
    row.length = v * 3;
    const ResultRow printed = PrintedRow(row);
    // Compared as bits: a negative zero stays one.
    EXPECT_EQ(std::signbit(printed.fromMeasure), std::signbit(ThroughText("%10.3f", v))) << v;
    EXPECT_EQ(printed.fromMeasure, ThroughText("%10.3f", v)) << v;
    EXPECT_EQ(printed.toMeasure, ThroughText("%10.3f", -v)) << v;
    EXPECT_EQ(printed.distance, ThroughText("%20.4f", v)) << v;
    EXPECT_EQ(printed.length, ThroughText("%10.4f", v * 3)) << v;
    ASSERT_EQ(Line(row), PrintfLine(row)) << v;
  }
  ResultRow odd;
  odd.reach = &reaches[0];
  odd.fromMeasure = std::nan("");
  odd.toMeasure = -std::nan("");
  odd.distance = std::numeric_limits<double>::infinity();
  odd.length = -odd.distance;
  EXPECT_EQ(Line(odd), PrintfLine(odd));
  EXPECT_TRUE(std::isnan(PrintedRow(odd).fromMeasure));
  EXPECT_EQ(PrintedRow(odd).distance, odd.distance);
}

}  // namespace
}  // namespace rill
