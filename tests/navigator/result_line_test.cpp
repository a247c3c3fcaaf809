// The result CSV's line written field by field is the line printf writes
// from its format, for every kind of value a row can carry.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "navigation/navigation.h"
#include "navigation/result_text.h"

namespace rill {
namespace {

std::string PrintfLine(const ResultRow& row) {
  char text[2048];
  const int n = std::snprintf(text, sizeof text, "\"%s\",%10d,\"%s\",%d,%10.3f,%10.3f,%20.4f,%10.4f\n",
                              row.reach->Rch_code, row.comId, row.reach->Rch_date, row.reach->Duu_id, row.fromMeasure,
                              row.toMeasure, row.distance, row.length);
  return std::string(text, static_cast<std::size_t>(n));
}

ReachRecord Reach(const char* code, const char* date, std::int32_t duuId) {
  ReachRecord reach;
  std::memcpy(reach.Rch_code, code, std::strlen(code) + 1);
  std::memcpy(reach.Rch_date, date, std::strlen(date) + 1);
  reach.Duu_id = duuId;
  return reach;
}

TEST(ResultLine, AsPrintfWritesItsFormat) {
  const ReachRecord reaches[] = {Reach("01010001000001", "20120905", 90000000), Reach("", "", 0), Reach("7", "1", -1),
                                 Reach("abcdefghijklmn", "99999999", INT_MAX), Reach("a,b", "x", INT_MIN)};
  const std::int32_t comIds[] = {0, 1, -1, 123456789, 2147483647, INT_MIN};
  std::vector<double> values = {0.0,
                                -0.0,
                                100.0,
                                0.0005,
                                0.00005,
                                99.9995,
                                2.5e-4,
                                1e9,
                                -1e9,
                                12345678901.5,
                                1e22,
                                -1e300,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(),
                                std::nan(""),
                                -std::nan("")};
  // Exact ties at 3 and 4 places and their neighbours.
  for (int k = -20; k <= 20; ++k)
    for (double tie : {(2 * k + 1) / 16.0, (2 * k + 1) / 32.0 + 1604.0}) {
      values.push_back(tie);
      values.push_back(std::nextafter(tie, 1e300));
      values.push_back(std::nextafter(tie, -1e300));
    }
  std::mt19937_64 random(29);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 4000; ++i)
    values.push_back((unit(random) - 0.5) * std::pow(10.0, static_cast<int>(random() % 20) - 4));
  for (std::size_t i = 0; i < values.size(); ++i) {
    ResultRow row;
    row.reach = &reaches[i % std::size(reaches)];
    row.comId = comIds[i % std::size(comIds)];
    row.fromMeasure = values[i];
    row.toMeasure = values[(i * 7 + 3) % values.size()];
    row.distance = values[(i * 13 + 5) % values.size()];
    row.length = values[(i * 17 + 11) % values.size()];
    std::string line = "kept:";
    AppendResultLine(line, row);
    ASSERT_EQ(line, "kept:" + PrintfLine(row)) << i;
  }
}

}  // namespace
}  // namespace rill
