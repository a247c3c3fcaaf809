// Results too large to be held as text are written from their rows when
// their chunk is taken: in their place between the requests around them,
// the same bytes as their single runs, for any number of threads.
#include <gtest/gtest.h>

#include "bench/basin/basin_generator.h"
#include "tests/batch/batch_runs.h"

namespace rill::testing {
namespace {

TEST(LargeResults, WrittenInTheirPlaceAsTheirSingleRuns) {
  ScratchDir dir("rill-large");
  const fs::path tables = dir.path() / "tables";
  fs::create_directories(tables);
  const auto ends = bench::WriteBasin({40000, 3}, tables.string() + "/");
  ASSERT_TRUE(ends.has_value());
  // Small and whole-basin results side by side, first and last among them.
  struct Case {
    const char* id;
    std::string fields;  // the columns after Request, as a single run's first eight fields
  };
  const std::vector<Case> cases = {
      {"whole up", "2," + ends->outlet + ",0," + ends->outlet + ",0,U,0,MI"},
      {"main down", "1," + ends->headwater + ",100," + ends->headwater + ",0,D,0,MI"},
      {"whole again, feet", "2," + ends->outlet + ",0," + ends->outlet + ",0,U,0,FT"},
      {"limited", "4," + ends->outlet + ",0," + ends->outlet + ",0,U,30000,M"},
      {"down to the outlet", "5," + ends->headwater + ",100," + ends->outlet + ",0,D,0,MI"},
      {"whole last", "2," + ends->outlet + ",0," + ends->outlet + ",0,U,0,MI"},
  };
  std::string table = "Request,NavType,StartReach,StartMeasure,EndReach,EndMeasure,Direction,Distance,DistanceUnits\n";
  for (const Case& c : cases) table += "\"" + std::string(c.id) + "\"," + c.fields + "\n";
  WriteAll(dir.path() / "requests.csv", table);
  std::string expected;
  std::size_t largest = 0;
  for (const Case& c : cases) {
    const SingleOutcome single = RunSingle(c.id, c.fields + ",1|0,0", tables);
    expected += single.rows;
    largest = std::max(largest, static_cast<std::size_t>(std::count(single.rows.begin(), single.rows.end(), '\n')));
  }
  ASSERT_GT(largest, 30000u) << "no result large enough to be written from its rows";
  for (const char* threads : {"1", "3"}) {
    const std::string out = std::string("out") + threads + ".csv";
    ASSERT_EQ(RunBatch(dir.path(), {"requests.csv", "--out", out, "--tables", "tables", "--threads", threads}), 0)
        << ReadAll(dir.path() / "stderr.txt");
    const std::string written = ReadAll(dir.path() / out);
    // Compared as a flag: a failing comparison of megabytes is not printed.
    const bool same = written.substr(written.find('\n') + 1) == expected;
    if (!same) WriteAll(dir.path() / "expected.csv", expected);
    ASSERT_TRUE(same) << threads << " threads; see " << out << " and expected.csv in " << dir.path();
  }
}

// RESULTS is written on a second thread; a block it could not write still
// stops the batch at the next chunk, not at the end of every request.
TEST(LargeResults, AFullDiskStopsTheBatchEarly) {
  ScratchDir dir("rill-large");
  const auto ends = bench::WriteBasin({40000, 3}, dir.work());
  ASSERT_TRUE(ends.has_value());
  std::string table = "Request,NavType,StartReach,Direction\n";
  for (int i = 0; i < 200; ++i) table += "r" + std::to_string(i) + ",2," + ends->outlet + ",U\n";
  WriteAll(dir.path() / "requests.csv", table);
  fs::create_symlink("/dev/full", dir.path() / "out.csv");
  ASSERT_EQ(RunBatch(dir.path(), {"requests.csv", "--out", "out.csv", "--status", "status.csv", "--tables", "."}), 3);
  const std::string status = ReadAll(dir.path() / "status.csv");
  EXPECT_LT(std::count(status.begin(), status.end(), '\n'), 100);
}

}  // namespace
}  // namespace rill::testing
