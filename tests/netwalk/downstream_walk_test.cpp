// Downstream network walks: every Dir 709 divergence, the stretch below an
// interior entry, the distance limit, and a branched start reach.
#include <gtest/gtest.h>

#include "test_network.h"

namespace rill::netwalk_testing {
namespace {

TEST(DownstreamWalkOrder, MainPathFirstThenDivergencesButNeverCoastRows) {
  // S leaves by a row to reach 0, to A on its level, to B on another level
  // and to E along the coast (Dir 714). A and B both run into C.
  TestNetwork net;
  net.Reach(1, "S", 1000).Reach(2, "A", 200).Reach(3, "B", 400).Reach(4, "C", 300).Reach(5, "E", 100);
  net.Flow(1, 0).Flow(1, 2).Flow(1, 3, 0.0, 709, 1).Flow(1, 5, 0.0, 714).Flow(2, 4).Flow(3, 4);
  WalkOutcome walk = Walk(net.Build(), Downstream("S"));

  EXPECT_EQ(walk.ComIds(), (Ids{1, 2, 4, 3}));
  // Reach 0 is announced but is no continuation, so A still is.
  const std::string expected =
      "Current Roid: 1, TravelDistance:    0.00000\n"
      "Calling Output Procedure for 1\n" +
      OutputLine(1, "S", 100, 0, 1000, 1000) +
      "Continue? - YES\n"
      "   Levels equal - processing roid: 0\n"
      "   Levels equal - processing roid: 2\n"
      "   Levels not equal - adding roid: 3, position: 0\n"
      "Current Roid: 2, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 2\n" +
      OutputLine(2, "A", 100, 0, 1200, 200) +
      "Continue? - YES\n"
      "   Levels equal - processing roid: 4\n"
      "Current Roid: 4, TravelDistance: 1200.00000\n"
      "Calling Output Procedure for 4\n" +
      OutputLine(4, "C", 100, 0, 1500, 300) +
      "Continue? - YES\n"
      "Current Roid: 3, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 3\n" +
      OutputLine(3, "B", 100, 0, 1400, 400) + "Continue? - YES\n";
  EXPECT_EQ(walk.log, expected);
}

// S joins R inside at measure 40; two divergences leave R inside (rows read
// as Dir 710): to T1 at measure 30, below the entry, and to T2 at 55, above.
TestNetwork InteriorEntry(const char* t1Code) {
  TestNetwork net;
  net.Reach(10, "S", 1000).Reach(11, "R", 2000).Reach(12, t1Code, 300).Reach(13, "T2", 400);
  net.Flow(10, 11, 40.0).Flow(11, 12, 30.0, 709, 1, 1).Flow(11, 13, 55.0, 709, 1, 1);
  return net;
}

TEST(DownstreamInteriorEntry, OnlyDivergencesBelowTheEntryAreFollowed) {
  WalkOutcome walk = Walk(InteriorEntry("T1").Build(), Downstream("S"));

  EXPECT_EQ(walk.ComIds(), (Ids{10, 11, 12}));
  const std::string expected =
      "Current Roid: 10, TravelDistance:    0.00000\n"
      "Calling Output Procedure for 10\n" +
      OutputLine(10, "S", 100, 0, 1000, 1000) +
      "Continue? - YES\n"
      "Reach 10 flows in to (or out of) the interior of reach 11\n"
      "   Seq greater than 0 - adding roid: 11, position: 0\n"
      "Current Roid: 11, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 11\n" +
      OutputLine(11, "R", 40, 0, 1800, 800) +
      "Continue? - YES\n"
      "   Seq greater than 0 - adding roid: 12, position: 1\n"
      "Current Roid: 12, TravelDistance: 1800.00000\n"
      "Calling Output Procedure for 12\n" +
      OutputLine(12, "T1", 100, 0, 2100, 300) + "Continue? - YES\n";
  EXPECT_EQ(walk.log, expected);
}

TEST(DownstreamInteriorEntry, TakenEntryCarriesTheMeasureOfTheEntryAbove) {
  // T1 shares the start's reach code, so the start measure in force when
  // it is taken (R's entry measure 40) shapes its passage.
  WalkOutcome walk = Walk(InteriorEntry("S").Build(), Downstream("S"));
  ASSERT_EQ(walk.ComIds(), (Ids{10, 11, 12}));
  const ResultRecord& t1 = walk.state.results.records()[2];
  EXPECT_EQ(t1.FromMeasure, 40.0);
  EXPECT_EQ(t1.RchLength, 120.0);
  EXPECT_EQ(t1.TravelDistance, 1920.0);
}

TEST(DownstreamLimit, ReachesBeyondTheLimitAreNotExpandedUntilReachedWithinIt) {
  // The 1500 m limit falls in the middle of A. B continues A and is not
  // output; C diverges from A but is reached within the limit through E.
  TestNetwork net;
  net.Reach(20, "S", 1000).Reach(21, "A", 1000).Reach(22, "B", 500).Reach(23, "C", 1000).Reach(24, "E", 100);
  net.Flow(20, 21).Flow(20, 24, 0.0, 709, 1).Flow(21, 22).Flow(21, 23, 0.0, 709, 1).Flow(24, 23);
  WalkRequest request = Downstream("S");
  request.navType = 4;
  request.distance = 1500.0;
  WalkOutcome walk = Walk(net.Build(), request);

  EXPECT_EQ(walk.ComIds(), (Ids{20, 21, 24, 23}));
  const std::string beyond =
      "   Levels equal - processing roid: 22\n"
      "   Levels not equal - adding roid: 23, position: 1\n"
      "Current Roid: 22, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 22\n"
      "Continue? - NO\n"
      "Current Roid: 24, TravelDistance: 1000.00000\n"
      "Calling Output Procedure for 24\n" +
      OutputLine(24, "E", 100, 0, 1100, 100) +
      "Continue? - YES\n"
      "   Levels equal - processing roid: 23\n"
      "Current Roid: 23, TravelDistance: 1100.00000\n"
      "Calling Output Procedure for 23\n" +
      OutputLine(23, "C", 100, 60, 1500, 400) + "Continue? - YES\n";
  ASSERT_GE(walk.log.size(), beyond.size());
  EXPECT_EQ(walk.log.substr(walk.log.size() - beyond.size()), beyond) << walk.log;
  EXPECT_NE(walk.log.find(OutputLine(21, "A", 100, 50, 1500, 500)), std::string::npos);
}

// S is branched: its branch (100, 200) runs into the top of its main range.
TestNetwork BranchedStart() {
  TestNetwork net;
  net.Reach(30, "S", 1500, 1).Reach(31, "A", 100);
  net.Section(30, 0, 100, 1000, 10, 11).Section(30, 100, 200, 500, 12, 10);
  net.Flow(30, 31);
  return net;
}

TEST(DownstreamBranchedStart, PassesOnlyTheSectionsBelowTheStart) {
  WalkOutcome walk = Walk(BranchedStart().Build(), Downstream("S", 150.0));
  const auto& r = walk.state.results.records();
  ASSERT_EQ(walk.ComIds(), (Ids{30, 30, 31}));
  EXPECT_EQ(r[0].FromMeasure, 150.0);
  EXPECT_EQ(r[0].ToMeasure, 100.0);
  EXPECT_EQ(r[0].RchLength, 250.0);
  EXPECT_EQ(r[1].FromMeasure, 100.0);
  EXPECT_EQ(r[1].ToMeasure, 0.0);
  EXPECT_EQ(r[1].TravelDistance, 1250.0);
  EXPECT_EQ(r[2].TravelDistance, 1350.0);
}

TEST(DownstreamBranchedStart, WholeReachStartModePassesTheReachWhole) {
  WalkRequest request = Downstream("S", 150.0);
  request.wholeReachStartMode = 1;
  WalkOutcome walk = Walk(BranchedStart().Build(), request);
  ASSERT_EQ(walk.ComIds(), (Ids{30, 31}));
  EXPECT_EQ(walk.state.results.records()[0].RchLength, 2250.0);
  EXPECT_TRUE(walk.state.specials.entries().empty());
}

}  // namespace
}  // namespace rill::netwalk_testing
