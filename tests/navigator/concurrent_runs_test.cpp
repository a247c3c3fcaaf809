// Runs that use a second thread write every file exactly as the plain
// single-threaded path does, on a generated basin with every kind of reach.
#include <gtest/gtest.h>

#include <iostream>
#include <string>

#include "bench/basin/basin_generator.h"
#include "navigator/run_navigation.h"
#include "tests/support/files.h"

namespace rill {
namespace {

using testing::ReadIfPresent;
using testing::ScratchDir;

struct RunFiles {
  int status = -1;
  std::optional<std::string> log, csv, code;
};

RunFiles RunIn(const ScratchDir& dir, const std::string& request, bool concurrent) {
  for (const char* name : {"message.out", "out.csv", "ccode.txt"}) std::filesystem::remove(dir.path() / name);
  RunFiles files;
  files.status = RunNavigation(request + "," + dir.work() + ",out.csv,./,0,0", std::cerr, RunOptions{concurrent});
  files.log = ReadIfPresent(dir.path() / "message.out");
  files.csv = ReadIfPresent(dir.path() / "out.csv");
  files.code = ReadIfPresent(dir.path() / "ccode.txt");
  return files;
}

TEST(ConcurrentRuns, WriteTheSameBytesAsThePlainPath) {
  ScratchDir dir("rill-concurrent");
  const auto ends = bench::WriteBasin({20000, 7}, dir.work());
  ASSERT_TRUE(ends.has_value());
  const std::string& out = ends->outlet;
  const std::string& head = ends->headwater;
  // Every type both ways, from the outlet, the far headwater and a point inside.
  // clang-format off
  const std::string requests[] = {
      "0," + out + ",0," + out + ",0,U,0,MI,1",
      "1," + out + ",0," + out + ",0,U,0,MI,1",
      "1," + head + ",100," + head + ",0,D,0,MI,1",
      "2," + out + ",0," + out + ",0,U,0,MI,1",
      "2," + head + ",50," + head + ",0,D,0,FT,1",
      "3," + out + ",20," + out + ",0,U,30,MI,1",
      "3," + head + ",100," + head + ",0,D,12000,M,1",
      "4," + out + ",0," + out + ",0,U,50000,M,1",
      "4," + head + ",60," + head + ",0,D,5,MI,1",
      "5," + head + ",100," + out + ",0,D,0,MI,1",
      "5," + out + ",0," + head + ",50,U,0,MI,1",
  };
  // clang-format on
  for (const std::string& request : requests) {
    SCOPED_TRACE(request);
    const RunFiles plain = RunIn(dir, request, false);
    const RunFiles concurrent = RunIn(dir, request, true);
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(concurrent.status, plain.status);
    ASSERT_TRUE(plain.log.has_value());
    EXPECT_GT(plain.log->size(), 1000000u);  // the dump alone spans many blocks
    EXPECT_TRUE(concurrent.log == plain.log);
    EXPECT_TRUE(concurrent.csv == plain.csv);
    EXPECT_TRUE(concurrent.code == plain.code);
  }
}

}  // namespace
}  // namespace rill
