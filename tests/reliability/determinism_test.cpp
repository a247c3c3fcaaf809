// The same request on the same tables writes the same bytes, run after run:
// nothing may depend on addresses, on what freed memory held or on hash
// order. Each request runs twice on a real network, the second time with
// the C library filling fresh and freed memory with a pattern.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "reliability_support.h"

namespace rill::reliability {
namespace {

namespace fs = std::filesystem;

struct Network {
  const char* folder;
  const char* outlet;  // code of the reach the network drains through
  const char* top;     // code of a reach upstream in it
};

class Determinism : public ::testing::TestWithParam<Network> {};

struct Outputs {
  std::optional<std::string> log, csv, code;
};

Outputs Collect(const std::string& folder) {
  return {ReadFile(folder + "message.out"), ReadFile(folder + "out.csv"), ReadFile(folder + "ccode.txt")};
}

TEST_P(Determinism, RepeatedRunsWriteIdenticalFiles) {
  const Network net = GetParam();
  const std::string data = std::string(RILL_DATA_DIR) + "/" + net.folder + "/";
  if (!Exists(data + "rchdata.txt")) GTEST_SKIP() << "no network in " << data;
  TempFolder work;
  for (const char* name : {"rchdata.txt", "flowdata.txt", "secdata.txt"}) fs::create_symlink(data + name, work / name);

  struct Ask {
    const char *type, *start, *measure, *end, *endMeasure, *direction, *distance, *units;
  };
  const std::vector<Ask> asks = {
      {"1", net.outlet, "0", "X", "0", "U", "0", "MI"},      {"2", net.outlet, "0", "X", "0", "U", "0", "FT"},
      {"3", net.outlet, "0", "X", "0", "U", "20", "MI"},     {"4", net.outlet, "30", "X", "0", "U", "20", "MI"},
      {"1", net.top, "100", "X", "0", "D", "0", "M"},        {"2", net.top, "100", "X", "0", "D", "0", "MI"},
      {"3", net.top, "60", "X", "0", "D", "5", "MI"},        {"4", net.top, "100", "X", "0", "D", "9000", "M"},
      {"5", net.top, "50", net.outlet, "0", "D", "0", "MI"}, {"5", net.outlet, "10", net.top, "80", "U", "0", "FT"},
  };
  std::size_t lines = 0;
  for (const Ask& a : asks) {
    SCOPED_TRACE(testing::Message() << a.type << " " << a.direction << " from " << a.start);
    Request request;
    request.navType = a.type;
    request.startReach = a.start;
    request.startMeasure = a.measure;
    request.endReach = a.end;
    request.endMeasure = a.endMeasure;
    request.direction = a.direction;
    request.distance = a.distance;
    request.units = a.units;
    request.workPath = work.path();
    const RunOptions timed = Within(std::chrono::seconds(120));
    RunResult first = RunRillmark(request.Line(), timed);
    ASSERT_EQ(first.exitStatus, 0) << first.Describe();
    const Outputs one = Collect(work.path());
    RunOptions perturbed = timed;
    perturbed.environment = {"MALLOC_PERTURB_=165"};
    RunResult second = RunRillmark(request.Line(), perturbed);
    ASSERT_EQ(second.exitStatus, 0) << second.Describe();
    const Outputs two = Collect(work.path());
    ASSERT_TRUE(one.log && one.csv && one.code);
    EXPECT_TRUE(one.log == two.log) << "message.out differs";
    EXPECT_TRUE(one.csv == two.csv) << "the CSV differs";
    EXPECT_TRUE(one.code == two.code) << "ccode.txt differs";
    lines += static_cast<std::size_t>(std::count(one.csv->begin(), one.csv->end(), '\n'));
  }
  // The requests really walked the network.
  EXPECT_GT(lines, 100u);
}

INSTANTIATE_TEST_SUITE_P(RealNetworks, Determinism,
                         ::testing::Values(Network{"oswego", "04140203000132", "04130003000350"},
                                           Network{"haw_hr_rc", "03030002018884", "03030002000019"},
                                           Network{"coastal_ca", "18010108000373", "18010107000001"}),
                         [](const testing::TestParamInfo<Network>& p) { return std::string(p.param.folder); });

}  // namespace
}  // namespace rill::reliability
