// Distance units of a batch request: a request in kilometres walks and
// prints what the same request in metres does, its distances divided by 1000.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/batch/batch_runs.h"

namespace rill::testing {
namespace {

std::vector<std::vector<std::string>> Rows(const std::string& lines) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string f; std::getline(split, f, ',');) fields.push_back(f);
    rows.push_back(fields);
  }
  return rows;
}

TEST(BatchUnits, KilometresAreMetresDividedByAThousand) {
  ScratchDir dir("rill-units");
  const std::string sample = std::string(RILL_SOURCE_DIR) + "/examples";
  struct Pair {
    std::string km, m;
  } pairs[] = {
      {"3,41020003000006,50,D,2.5,km", "3,41020003000006,50,D,2500,M"},
      {"4,41020003000002,0,U,1.2,KM", "4,41020003000002,0,U,1200,"},
      {"2,41020003000002,0,U,,Km", "2,41020003000002,0,U,,METERS"},
  };
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.km);
    WriteAll(
        dir.path() / "requests.csv",
        "Request,NavType,StartReach,StartMeasure,Direction,Distance,DistanceUnits\nkm," + p.km + "\nm," + p.m + "\n");
    ASSERT_EQ(RunBatch(dir.path(), {"requests.csv", "--tables", sample, "--out", "out.csv", "--quiet"}), 0);
    const auto byId = LinesById(ReadAll(dir.path() / "out.csv"));
    const auto km = Rows(byId.at("\"km"));
    const auto m = Rows(byId.at("\"m"));
    ASSERT_EQ(km.size(), m.size());
    for (std::size_t i = 0; i < km.size(); ++i) {
      for (std::size_t f = 1; f <= 6; ++f) EXPECT_EQ(km[i][f], m[i][f]) << "row " << i << " field " << f;
      for (std::size_t f = 7; f <= 8; ++f)  // Distance and RchLength, printed to 4 decimals
        EXPECT_NEAR(std::atof(km[i][f].c_str()), std::atof(m[i][f].c_str()) / 1000, 0.00005001)
            << "row " << i << " field " << f;
    }
  }
}

}  // namespace
}  // namespace rill::testing
