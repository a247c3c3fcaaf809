// A batch gives each request exactly what a single run of the equivalent
// command line gives: the CSV rows after the request's id, the exit status
// and the ccode digits; whatever the order of the requests, the number of
// threads or the sharding.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/batch/batch_runs.h"
#include "tests/support/process.h"

namespace rill::testing {
namespace {

const std::vector<std::string> kAllColumns = {
    "Request",   "NavType",  "startreach",    "StartMeasure",        "EndReach",       "EndMeasure",
    "DIRECTION", "Distance", "DistanceUnits", "WholeReachStartMode", "EndAtCUBoundary"};

// Status lines without their reason, which a single run gives on standard error.
std::string WithoutReasons(const std::string& lines) {
  std::string out;
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line);) {
    std::size_t at = 0;
    for (int commas = 0; commas < 3 && at != std::string::npos; ++commas) at = line.find(',', at + 1);
    out += line.substr(0, at + 1) + "\n";
  }
  return out;
}

struct Network {
  const char* name;
  fs::path folder;
  int requests;
};

// Test names and failures show the case by its name.
void PrintTo(const Network& c, std::ostream* out) { *out << c.name; }

class BatchVsSingle : public ::testing::TestWithParam<Network> {};

TEST_P(BatchVsSingle, EveryRequestAsItsSingleRun) {
  const Network& net = GetParam();
  ScratchDir dir("rill-batch");
  const fs::path tables = dir.path() / "tables";
  fs::create_directories(tables);
  for (const char* name : {"rchdata.txt", "flowdata.txt", "secdata.txt"}) fs::copy(net.folder / name, tables / name);
  const std::vector<MixedRequest> requests = MixedRequests(tables, net.requests, 1234);
  WriteAll(dir.path() / "requests.csv", RequestsTable(requests, kAllColumns));
  ASSERT_EQ(RunBatch(dir.path(), {"requests.csv", "--out", "out.csv", "--tables", "tables", "--threads", "4"}), 0)
      << ReadAll(dir.path() / "stderr.txt");
  const auto rows = LinesById(ReadAll(dir.path() / "out.csv"));
  const auto statuses = LinesById(ReadAll(dir.path() / "out.status.csv"));
  for (const MixedRequest& r : requests) {
    const std::string& id = r.fields.at("Request");
    const SingleOutcome single = RunSingle(id, r.single, tables);
    const std::string key = "\"" + id;
    EXPECT_EQ(rows.count(key) ? rows.at(key) : "", single.rows) << net.name << " " << r.single;
    EXPECT_EQ(WithoutReasons(statuses.at(key)), single.statusLine + "\n") << net.name << " " << r.single;
  }
}

INSTANTIATE_TEST_SUITE_P(Networks, BatchVsSingle,
                         ::testing::Values(Network{"sample", fs::path(RILL_SOURCE_DIR) / "examples", 300},
                                           Network{"coastal_ca", fs::path(RILL_DATA_DIR) / "coastal_ca", 200},
                                           Network{"haw_hr", fs::path(RILL_DATA_DIR) / "haw_hr", 200},
                                           Network{"haw_hr_rc", fs::path(RILL_DATA_DIR) / "haw_hr_rc", 200},
                                           Network{"oswego", fs::path(RILL_DATA_DIR) / "oswego", 150},
                                           Network{"oswego_rc", fs::path(RILL_DATA_DIR) / "oswego_rc", 150},
                                           Network{"smallnets", fs::path(RILL_DATA_DIR) / "smallnets", 100}),
                         [](const ::testing::TestParamInfo<Network>& p) { return std::string(p.param.name); });

// The sample network's requests in a fixed set of runs that must agree.
class SampleBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    requests_ = MixedRequests(fs::path(RILL_SOURCE_DIR) / "examples", 200, 99);
    WriteAll(dir_.path() / "requests.csv", RequestsTable(requests_, kAllColumns));
    std::vector<MixedRequest> reversed(requests_.rbegin(), requests_.rend());
    WriteAll(dir_.path() / "reversed.csv", RequestsTable(reversed, kAllColumns));
  }
  int Batch(std::vector<std::string> args) {
    args.insert(args.end(), {"--tables", std::string(RILL_SOURCE_DIR) + "/examples"});
    return RunBatch(dir_.path(), args);
  }
  std::string Read(const char* name) { return ReadAll(dir_.path() / name); }
  ScratchDir dir_{"rill-batch"};
  std::vector<MixedRequest> requests_;
};

TEST_F(SampleBatch, SameOutputsForAnyThreadsAndRowsForAnyOrder) {
  ASSERT_EQ(Batch({"requests.csv", "--out", "one.csv", "--log", "one.log", "--threads", "1"}), 0);
  ASSERT_EQ(Batch({"requests.csv", "--out", "four.csv", "--log", "four.log", "--threads", "4"}), 0);
  ASSERT_EQ(Batch({"reversed.csv", "--out", "rev.csv", "--threads", "3", "--max-tables", "1"}), 0);
  EXPECT_EQ(Read("one.csv"), Read("four.csv"));
  EXPECT_EQ(Read("one.status.csv"), Read("four.status.csv"));
  EXPECT_EQ(Read("one.log"), Read("four.log"));
  EXPECT_EQ(LinesById(Read("one.csv")), LinesById(Read("rev.csv")));
  EXPECT_EQ(LinesById(Read("one.status.csv")), LinesById(Read("rev.status.csv")));
}

TEST_F(SampleBatch, ShardsMergeIntoTheFilesOfOneProcess) {
  ASSERT_EQ(Batch({"requests.csv", "--out", "whole.csv"}), 0);
  std::vector<std::string> merge = {std::string(RILL_SOURCE_DIR) + "/scripts/merge-shards.sh", "merged.csv"};
  for (int k = 1; k <= 3; ++k) {
    const std::string part = "part" + std::to_string(k) + ".csv";
    ASSERT_EQ(Batch({"requests.csv", "--out", part, "--shard", std::to_string(k) + "/3"}), 0);
    merge.push_back(part);
  }
  ASSERT_TRUE(RunProcess(merge, dir_.path(), dir_.path() / "m.out", dir_.path() / "m.err", 60).exited);
  EXPECT_EQ(Read("merged.csv"), Read("whole.csv"));
  EXPECT_EQ(Read("merged.status.csv"), Read("whole.status.csv"));
}

}  // namespace
}  // namespace rill::testing
