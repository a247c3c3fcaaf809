// Upstream network walks: same-level paths first, then the branches in the
// order they were found; distances where tributaries and partial entries
// begin; coastmain; walks from the top of a reach.
#include <gtest/gtest.h>

#include <cmath>

#include "test_network.h"

namespace rill::netwalk_testing {
namespace {

TEST(UpstreamWalkOrder, FollowsSameLevelPathThenQueuedBranchesFirstInFirstOut) {
  // S(1) is fed by A, B, X and C in that row order; X also feeds A, and A1
  // continues A on its level.
  TestNetwork net;
  net.Reach(1, "S", 1000).Reach(2, "A", 100).Reach(3, "B", 100).Reach(4, "C", 100).Reach(5, "X", 100);
  net.Reach(6, "A1", 100);
  net.Flow(2, 1).Flow(3, 1).Flow(5, 1, 0.0, 709, 1).Flow(4, 1).Flow(5, 2, 0.0, 709, 1).Flow(6, 2);
  WalkOutcome walk = Walk(net.Build(), Upstream("S"));

  EXPECT_EQ(walk.ComIds(), (Ids{1, 2, 6, 3, 5, 4}));
  // X was queued twice and is output once, counted from where it leaves S.
  const std::string expected =
      "Current Roid: 1, TravelDistance:    0.00000\n"
      "Calling Output Procedure for 1\n" +
      OutputLine(1, "S", 0, 100, 1000, 1000) +
      "Continue? - YES\n"
      "Current Flow record: com_id1: 2, com_id2: 1, seq:    0.00000, dir: 709, Orig 710? 0\n"
      "   Levels equal - processing roid: 2\n"
      "   Levels equal - adding roid: 3, position: 0\n"
      "   Levels not equal - adding roid: 5, position: 1\n"
      "   Levels equal - adding roid: 4, position: 2\n"
      "Current Roid: 2, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 2\n" +
      OutputLine(2, "A", 0, 100, 1100, 100) +
      "Continue? - YES\n"
      "Current Flow record: com_id1: 5, com_id2: 2, seq:    0.00000, dir: 709, Orig 710? 0\n"
      "   Levels not equal - adding roid: 5, position: 3\n"
      "   Levels equal - processing roid: 6\n"
      "Current Roid: 6, TravelDistance: 1100.00000\n"
      "Calling Output Procedure for 6\n" +
      OutputLine(6, "A1", 0, 100, 1200, 100) +
      "Continue? - YES\n"
      "Current Roid: 3, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 3\n" +
      OutputLine(3, "B", 0, 100, 1100, 100) +
      "Continue? - YES\n"
      "Current Roid: 5, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 5\n" +
      OutputLine(5, "X", 0, 100, 1100, 100) +
      "Continue? - YES\n"
      "Current Roid: 4, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 4\n" +
      OutputLine(4, "C", 0, 100, 1100, 100) + "Continue? - YES\n";
  EXPECT_EQ(walk.log, expected);
  EXPECT_EQ(walk.state.noNextReach, 1);
}

TEST(UpstreamInteriorJoin, TravelDistanceAtTheJunctionDecidesAgainstTheLimit) {
  // A (2000 m) is entered at 4000 m and cut by the 5000 m limit at its
  // middle; T40 joins it at measure 40 (4800 m), T60 at 60 (5200 m).
  TestNetwork net;
  net.Reach(10, "S", 4000).Reach(11, "A", 2000).Reach(12, "T40", 1000).Reach(13, "T60", 1000);
  net.Flow(11, 10).Flow(12, 11, 40.0, 709, 1).Flow(13, 11, 60.0, 709, 1);
  WalkRequest request = Upstream("S");
  request.navType = 4;
  request.distance = 5000.0;
  WalkOutcome walk = Walk(net.Build(), request);

  EXPECT_EQ(walk.ComIds(), (Ids{10, 11, 12}));
  const auto& records = walk.state.results.records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].ToMeasure, 50.0);
  EXPECT_EQ(records[1].TravelDistance, 5000.0);
  EXPECT_EQ(records[2].ToMeasure, 20.0);  // 200 m left of the limit
  EXPECT_EQ(records[2].RchLength, 200.0);
  const std::string expectedFromA =
      "Adding sections for: 11\n"
      "Current Roid: 11, TravelDistance: 4000.00000\n"
      "Calling Output Procedure for 11\n" +
      OutputLine(11, "A", 0, 50, 5000, 1000) +
      "Continue? - YES\n"
      "Current Flow record: com_id1: 12, com_id2: 11, seq:   40.00000, dir: 709, Orig 710? 0\n"
      "   Seq greater than 0 - adding roid: 12, position: 0, Distance: 4800.000000\n"
      "Current Roid: 12, TravelDistance: 4800.00000\n";
  EXPECT_NE(walk.log.find(expectedFromA), std::string::npos) << walk.log;
  EXPECT_EQ(walk.log.find("roid: 13"), std::string::npos);
}

TEST(UpstreamInteriorJoin, StartReachCountsOnlyAboveTheStartMeasure) {
  TestNetwork net;
  net.Reach(20, "S", 1000).Reach(21, "J20", 100).Reach(22, "J50", 100);
  net.Flow(21, 20, 20.0, 709, 1).Flow(22, 20, 50.0, 709, 1);
  WalkOutcome walk = Walk(net.Build(), Upstream("S", 30.0));

  EXPECT_EQ(walk.ComIds(), (Ids{20, 22}));
  EXPECT_NE(walk.log.find("   Seq greater than 0 - adding roid: 22, position: 0, Distance: 200.000000\n"),
            std::string::npos)
      << walk.log;
  EXPECT_EQ(walk.state.results.records()[1].TravelDistance, 300.0);
}

TEST(UpstreamPartialEntry, LongerReachLengthStandsForTheTravelDistance) {
  // L is passed only up to measure 30 (its sections stop there), so the
  // travel distance after it (2050 m) is shorter than L itself (3500 m).
  // P leaves L at measure 70, a row read as Dir 710.
  TestNetwork net;
  net.Reach(30, "S", 1000).Reach(31, "L", 3500).Reach(32, "P", 800);
  net.Section(31, 0, 30, 1050).Section(31, 40, 100, 2100);
  net.Flow(31, 30).Flow(32, 31, 70.0, 709, 1, 1);
  WalkOutcome walk = Walk(net.Build(), Upstream("S"));

  EXPECT_EQ(walk.ComIds(), (Ids{30, 31, 32}));
  const std::string expected =
      "Current Roid: 30, TravelDistance:    0.00000\n"
      "Calling Output Procedure for 30\n" +
      OutputLine(30, "S", 0, 100, 1000, 1000) +
      "Continue? - YES\n"
      "Current Flow record: com_id1: 31, com_id2: 30, seq:    0.00000, dir: 709, Orig 710? 0\n"
      "   Levels equal - processing roid: 31\n"
      "Adding sections for: 31\n"
      "adding if not already there\n"
      "Current Roid: 31, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 31\n" +
      OutputLine(31, "L", 0, 30, 2050, 1050) +
      "Continue? - YES\n"
      "Current Flow record: com_id1: 32, com_id2: 31, seq:   70.00000, dir: 709, Orig 710? 1\n"
      "Need to add a partial record to the array\n"
      "dCumTravelDistance: 2050.00000\n"
      "Checking 32\n"
      "TempDistance 2050.000000\n"
      "     Last : 31 - First: 30\n"
      "     dStartMeasure : 0.000000\n"
      "     Last Total: 1000.00000\n"
      "     Distance:   -1.00000\n"
      "     TempDistance: 3500.00000\n"
      "     Last Meters??? 3500\n"
      "     Sequence:    0.70000\n"
      "     **NewDistance: 3500.00000\n"
      "   Seq greater than 0 - adding PARTIAL roid: 32, position: 0, Distance: 3500.000000, StartMeasure: "
      "70.000000\n"
      "Current Roid: 32, TravelDistance: 3500.00000\n"
      "Calling Output Procedure for 32\n" +
      OutputLine(32, "P", 0, 100, 4300, 800) + "Continue? - YES\n";
  EXPECT_EQ(walk.log, expected);
}

TEST(UpstreamPartialEntry, EnteredReachIsWalkedUpFromTheJunctionMeasure) {
  // S is started at 40. P is entered at its measure 50 (Dir 710 row); Z
  // joins P at 30, below that point, so it is not on the way; Q continues P.
  TestNetwork net;
  net.Reach(40, "S", 1000).Reach(41, "P", 3500).Reach(42, "Z", 200).Reach(43, "Q", 500);
  net.Section(41, 0, 60, 2100).Section(41, 60, 100, 1400);
  net.Flow(41, 40, 50.0, 709, 1, 1).Flow(42, 41, 30.0, 709, 1).Flow(43, 41);
  WalkOutcome walk = Walk(net.Build(), Upstream("S", 40.0));

  EXPECT_EQ(walk.ComIds(), (Ids{40, 41, 41, 43}));
  const auto& r = walk.state.results.records();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].FromMeasure, 40.0);
  EXPECT_EQ(r[0].TravelDistance, 600.0);
  // P counts from 600 m: S's 1000 m scaled to the part above measure 40.
  EXPECT_EQ(r[1].FromMeasure, 50.0);
  EXPECT_EQ(r[1].ToMeasure, 60.0);
  EXPECT_EQ(r[1].RchLength, 350.0);
  EXPECT_EQ(r[1].TravelDistance, 950.0);
  EXPECT_EQ(r[2].FromMeasure, 60.0);
  EXPECT_EQ(r[2].ToMeasure, 100.0);
  EXPECT_EQ(r[2].TravelDistance, 2350.0);
  EXPECT_EQ(r[3].TravelDistance, 2850.0);

  const std::string partial =
      "Need to add a partial record to the array\n"
      "Adding sections for: 41\n"
      "adding if not already there\n"
      "adding if not already there\n"
      "dCumTravelDistance:  600.00000\n"
      "Checking 41\n"
      "TempDistance 600.000000\n"
      "     Last : 40 - First: 40\n"
      "     dStartMeasure : 40.000000\n"
      "     Last Total:    0.00000\n"
      "     Distance:   -1.00000\n"
      "     TempDistance: 1000.00000\n"
      "     Last Meters??? 1000\n"
      "     Sequence:    0.50000\n"
      "     **NewDistance:  600.00000\n"
      "   Seq greater than 0 - adding PARTIAL roid: 41, position: 0, Distance: 600.000000, StartMeasure: "
      "50.000000\n";
  EXPECT_NE(walk.log.find(partial), std::string::npos) << walk.log;
  EXPECT_EQ(walk.log.find("roid: 42"), std::string::npos);
}

TEST(UpstreamCoastmain, OnlyCoastRowsAreFollowedAndNotOnTheSameLevel) {
  // Rows into S: A (709), K (714, same level), M (714, other level) and
  // N (714, joining S at measure 30).
  TestNetwork net;
  net.Reach(50, "S", 1000).Reach(51, "A", 100).Reach(52, "K", 100).Reach(53, "M", 100).Reach(54, "N", 100);
  net.Flow(51, 50).Flow(52, 50, 0.0, 714).Flow(53, 50, 0.0, 714, 1).Flow(54, 50, 30.0, 714, 1);
  const NetworkTables tables = net.Build();

  WalkRequest coast = Upstream("S");
  coast.coastmain = 1;
  WalkOutcome along = Walk(tables, coast);
  EXPECT_EQ(along.ComIds(), (Ids{50, 53, 54}));
  EXPECT_NE(along.log.find("   Seq greater than 0 - adding roid: 54, position: 1, Distance: 300.000000\n"),
            std::string::npos);

  WalkOutcome inland = Walk(tables, Upstream("S"));
  EXPECT_EQ(inland.ComIds(), (Ids{50, 51, 53, 54}));
}

TEST(UpstreamFromTop, ReachesAboveAreTakenAlthoughNothingWasTravelled) {
  // From measure 100 of S nothing is travelled, and A has no length; the
  // walk still climbs to B and C. J joins S below the start.
  TestNetwork net;
  net.Reach(60, "S", 1000).Reach(61, "A", 0).Reach(62, "B", 100).Reach(63, "C", 100).Reach(64, "J", 100);
  net.Flow(0, 63, 0.0, 712).Flow(61, 60).Flow(64, 60, 40.0, 709, 1).Flow(62, 61).Flow(63, 62, 0.0, 709, 1);
  WalkOutcome walk = Walk(net.Build(), Upstream("S", 100.0));

  EXPECT_EQ(walk.ComIds(), (Ids{60, 61, 62, 63}));
  EXPECT_NE(walk.log.find("   Levels not equal - adding roid: 63, position: 0\n"), std::string::npos);
  // The headwater row of C leads nowhere: the walk ends after it.
  const std::string headwater =
      "Current Flow record: com_id1: 0, com_id2: 63, seq:    0.00000, dir: 712, Orig 710? 0\n";
  ASSERT_GE(walk.log.size(), headwater.size());
  EXPECT_EQ(walk.log.substr(walk.log.size() - headwater.size()), headwater);
}

TEST(UpstreamLimit, OnlyExactlyMinusOneMeansNoLimit) {
  TestNetwork net;
  net.Reach(70, "S", 1000).Reach(71, "A", 100).Reach(72, "B", 100);
  net.Flow(71, 70).Flow(72, 70, 50.0, 709, 1);
  const NetworkTables tables = net.Build();

  WalkRequest request = Upstream("S");
  EXPECT_EQ(Walk(tables, request).ComIds(), (Ids{70, 71, 72}));
  request.distance = std::nextafter(-1.0, 0.0);
  EXPECT_EQ(Walk(tables, request).ComIds(), (Ids{70}));
  request.distance = -5.0;
  EXPECT_EQ(Walk(tables, request).ComIds(), (Ids{70}));
}

}  // namespace
}  // namespace rill::netwalk_testing
