// The guard against walks that go round in circles, and the tiny tables
// that must not trip it.
#include <gtest/gtest.h>

#include "test_network.h"

namespace rill::netwalk_testing {
namespace {

// Expects the walk to output `ids` in order and the row guard not to stop it.
void ExpectWalkWithoutError(const NetworkTables& tables, const WalkRequest& request, const Ids& ids) {
  const WalkOutcome walk = Walk(tables, request);
  EXPECT_EQ(walk.ComIds(), ids) << "from " << request.startCode << " " << request.direction;
  EXPECT_EQ(walk.log.find("NAVIGATION ERROR"), std::string::npos)
      << "from " << request.startCode << " " << request.direction;
}

TEST(RowGuard, EmptyFlowTableStillOutputsTheStartReach) {
  TestNetwork net;
  net.Reach(1, "S", 1000);
  const NetworkTables tables = net.Build();
  for (const char* direction : {"U", "D"}) {
    WalkOutcome walk = Walk(tables, WalkFrom("S", direction, 100.0));
    EXPECT_EQ(walk.ComIds(), (Ids{1})) << direction;
    EXPECT_EQ(walk.state.noNextReach, 1) << direction;
    const double to = std::string(direction) == "U" ? 100 : 0;
    const double length = std::string(direction) == "U" ? 0 : 1000;
    EXPECT_EQ(walk.log,
              "Current Roid: 1, TravelDistance:    0.00000\n"
              "Calling Output Procedure for 1\n" +
                  OutputLine(1, "S", 100, to, length, length) + "Continue? - YES\n")
        << direction;
  }
}

TEST(RowGuard, OneRowCarriesTheWalkAcrossInBothDirections) {
  TestNetwork net;
  net.Reach(1, "A", 100).Reach(2, "B", 100).Flow(1, 2);
  const NetworkTables tables = net.Build();
  ExpectWalkWithoutError(tables, Downstream("A"), {1, 2});
  ExpectWalkWithoutError(tables, Upstream("B"), {2, 1});
}

TEST(RowGuard, FourRowChainIsWalkedToItsEnd) {
  TestNetwork net;
  for (std::int32_t id = 1; id <= 5; ++id) net.Reach(id, ("R" + std::to_string(id)).c_str(), 100);
  net.Flow(1, 2).Flow(2, 3).Flow(3, 4).Flow(4, 5);
  const NetworkTables tables = net.Build();
  ExpectWalkWithoutError(tables, Downstream("R1"), {1, 2, 3, 4, 5});
  ExpectWalkWithoutError(tables, Upstream("R5"), {5, 4, 3, 2, 1});
}

TEST(RowGuard, ClosedLoopIsNotWalkedAgain) {
  TestNetwork net;
  net.Reach(1, "A", 100).Reach(2, "B", 100).Flow(1, 2).Flow(2, 1);
  ExpectWalkWithoutError(net.Build(), Downstream("A"), {1, 2});
}

// Past the limit, B is passed without output (it has a recorded piece), so
// its row back into itself is followed again and again.
TestNetwork LoopBeyondLimit() {
  TestNetwork net;
  net.Reach(1, "S", 1000).Reach(2, "B", 500).Reach(3, "C", 100);
  net.Flow(1, 2, 40.0).Flow(2, 2);
  return net;
}

WalkRequest LimitedDownstream() {
  WalkRequest request = Downstream("S");
  request.navType = 4;
  request.distance = 500.0;
  return request;
}

TEST(RowGuard, WalkRoundInCirclesEndsWithTheError) {
  WalkOutcome walk = Walk(LoopBeyondLimit().Build(), LimitedDownstream());
  EXPECT_EQ(walk.ComIds(), (Ids{1}));
  const std::string again =
      "Current Roid: 2, TravelDistance:    0.00000\n"
      "Calling Output Procedure for 2\n"
      "Continue? - YES\n"
      "   Levels equal - processing roid: 2\n";
  const std::string expected =
      "Current Roid: 1, TravelDistance:    0.00000\n"
      "Calling Output Procedure for 1\n" +
      OutputLine(1, "S", 100, 50, 500, 500) +
      "Continue? - YES\n"
      "Reach 1 flows in to (or out of) the interior of reach 2\n"
      "   Seq greater than 0 - adding roid: 2, position: 0\n" +
      again + again + "NAVIGATION ERROR\n";
  EXPECT_EQ(walk.log, expected);
}

TEST(RowGuard, ScanInProgressStopsAtTheGuard) {
  TestNetwork net = LoopBeyondLimit();
  net.Flow(2, 3, 0.0, 709, 1);
  WalkOutcome walk = Walk(net.Build(), LimitedDownstream());
  EXPECT_EQ(walk.ComIds(), (Ids{1}));
  EXPECT_NE(walk.log.find("   Levels not equal - adding roid: 3, position: 1\n"), std::string::npos);
  EXPECT_EQ(walk.log.find("adding roid: 3, position: 2"), std::string::npos);
  const std::string tail = "   Levels equal - processing roid: 2\nNAVIGATION ERROR\n";
  ASSERT_GE(walk.log.size(), tail.size());
  EXPECT_EQ(walk.log.substr(walk.log.size() - tail.size()), tail);
}

}  // namespace
}  // namespace rill::netwalk_testing
