// However the requests are cut into chunks and shared out over threads, the
// outputs are the bytes of one thread taking one request at a time.
#include <gtest/gtest.h>

#include <atomic>

#include "batch/run_batch.h"
#include "tests/batch/batch_runs.h"

namespace rill::testing {
namespace {

TEST(BatchChunks, SameBytesForAnyThreadsAndChunks) {
  ScratchDir dir("rill-chunks");
  const fs::path tables = fs::path(RILL_SOURCE_DIR) / "examples";
  // 211 requests: a prime, so that no chunk size below divides them.
  const std::vector<MixedRequest> requests = MixedRequests(tables, 211, 7);
  WriteAll(dir.path() / "requests.csv",
           RequestsTable(requests, {"Request", "NavType", "StartReach", "StartMeasure", "EndReach", "EndMeasure",
                                    "Direction", "Distance", "DistanceUnits"}));
  const std::atomic<bool> stop{false};
  auto run = [&](unsigned threads, std::size_t chunk) {
    const std::string name = std::to_string(threads) + "x" + std::to_string(chunk);
    BatchOptions o;
    o.requests = (dir.path() / "requests.csv").string();
    o.results = (dir.path() / (name + ".csv")).string();
    o.log = (dir.path() / (name + ".log")).string();
    o.tables = tables.string() + "/";
    o.threads = threads;
    o.chunk = chunk;
    EXPECT_TRUE(RunBatch(o, stop, nullptr).status.ok()) << name;
    return ReadAll(o.results) + ReadAll(DefaultStatusPath(o.results)) + ReadAll(o.log);
  };
  const std::string alone = run(1, 1);
  ASSERT_NE(alone.find("\"r211\""), std::string::npos);
  for (unsigned threads : {1u, 2u, 5u})
    for (std::size_t chunk : {2u, 7u, 50u, 300u, 0u})
      EXPECT_EQ(run(threads, chunk), alone) << threads << " x " << chunk;
}

}  // namespace
}  // namespace rill::testing
