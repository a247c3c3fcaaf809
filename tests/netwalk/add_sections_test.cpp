// The chain of sections recorded for a reach that others join in its interior.
#include "netwalk/add_sections.h"

#include <gtest/gtest.h>

#include "test_network.h"

namespace rill::netwalk_testing {
namespace {

using testing::Pieces;

struct SectionRun {
  Pieces pieces;
  std::string log;
};

// Calls AddSections once per measure given, on one navigation state.
SectionRun RunAddSections(const NetworkTables& tables, std::int32_t comId, std::vector<double> measures,
                          std::string_view direction = "U") {
  testing::Pass pass(tables);
  for (double m : measures) AddSections(pass.ctx(), comId, m, direction == "U");
  return {testing::PiecesOf(pass.state().specials), pass.Log()};
}

// Reach 7, 2000 m, in three sections; reach 9 joins it at measure 40.
TestNetwork ThreeSections() {
  TestNetwork net;
  net.Reach(7, "R7", 2000).Reach(9, "R9", 500).Flow(9, 7, 40.0);
  net.Section(7, 0, 30, 600).Section(7, 30, 70, 800).Section(7, 70, 100, 600);
  return net;
}

const std::string kHeader = "Adding sections for: 7\n";
const std::string kAdding = "adding if not already there\n";

TEST(AddSectionsChain, WholeReachGivesOnePiecePerSectionScaledByReachLength) {
  SectionRun run = RunAddSections(ThreeSections().Build(), 7, {-1.0});
  EXPECT_EQ(run.pieces, (Pieces{{7, 0, 30, 600}, {7, 30, 70, 800}, {7, 70, 100, 600}}));
  EXPECT_EQ(run.log, kHeader + kAdding + kAdding + kAdding);
}

TEST(AddSectionsChain, MeasureZeroIsTheWholeReach) {
  SectionRun run = RunAddSections(ThreeSections().Build(), 7, {0.0});
  EXPECT_EQ(run.pieces, (Pieces{{7, 0, 30, 600}, {7, 30, 70, 800}, {7, 70, 100, 600}}));
}

TEST(AddSectionsChain, MeasureInsideFirstSectionStartsTheFirstPieceThere) {
  SectionRun run = RunAddSections(ThreeSections().Build(), 7, {20.0});
  EXPECT_EQ(run.pieces, (Pieces{{7, 20, 30, 200}, {7, 30, 70, 800}, {7, 70, 100, 600}}));
  EXPECT_EQ(run.log, kHeader + kAdding + kAdding + kAdding);
}

TEST(AddSectionsChain, MeasureAboveFirstSectionRecordsNothing) {
  SectionRun run = RunAddSections(ThreeSections().Build(), 7, {50.0});
  EXPECT_TRUE(run.pieces.empty());
  EXPECT_EQ(run.log, kHeader);
}

TEST(AddSectionsChain, SecondCallRepeatsTheTraceButNotThePieces) {
  SectionRun run = RunAddSections(ThreeSections().Build(), 7, {-1.0, -1.0});
  EXPECT_EQ(run.pieces.size(), 3u);
  EXPECT_EQ(run.log, kHeader + kAdding + kAdding + kAdding + kHeader + kAdding + kAdding + kAdding);
}

TEST(AddSectionsChain, ShortestSectionWinsWhereSeveralStartTogether) {
  TestNetwork net;
  net.Reach(7, "R7", 1000).Flow(9, 7, 40.0);
  net.Section(7, 0, 50, 500).Section(7, 0, 40, 400).Section(7, 40, 100, 600).Section(7, 50, 100, 500);
  SectionRun run = RunAddSections(net.Build(), 7, {-1.0});
  EXPECT_EQ(run.pieces, (Pieces{{7, 0, 40, 400}, {7, 40, 100, 600}}));
}

TEST(AddSectionsChain, ChainStopsAtAGap) {
  TestNetwork net;
  net.Reach(7, "R7", 1000).Flow(9, 7, 40.0);
  net.Section(7, 40, 100, 600).Section(7, 0, 30, 300);
  SectionRun run = RunAddSections(net.Build(), 7, {-1.0});
  EXPECT_EQ(run.pieces, (Pieces{{7, 0, 30, 300}}));
}

TEST(AddSectionsChain, LastSectionStartingAtTheChainDecidesWhetherItGoesOn) {
  // With measure 20, a section (0, 10) ends below the measure and stops the
  // chain when it stands after the section that reaches the measure.
  TestNetwork reachingFirst;
  reachingFirst.Reach(7, "R7", 1000).Flow(9, 7, 40.0);
  reachingFirst.Section(7, 0, 50, 500).Section(7, 0, 10, 100).Section(7, 50, 100, 500);
  EXPECT_TRUE(RunAddSections(reachingFirst.Build(), 7, {20.0}).pieces.empty());

  TestNetwork endingFirst;
  endingFirst.Reach(7, "R7", 1000).Flow(9, 7, 40.0);
  endingFirst.Section(7, 0, 10, 100).Section(7, 0, 50, 500).Section(7, 50, 100, 500);
  EXPECT_EQ(RunAddSections(endingFirst.Build(), 7, {20.0}).pieces, (Pieces{{7, 20, 50, 300}, {7, 50, 100, 500}}));
}

TEST(AddSectionsGate, ReachWithoutInteriorJoinIsLeftAlone) {
  TestNetwork net;
  net.Reach(7, "R7", 2000).Reach(9, "R9", 500).Flow(9, 7, 0.0);
  net.Section(7, 0, 30, 600).Section(7, 30, 100, 1400);
  SectionRun run = RunAddSections(net.Build(), 7, {-1.0});
  EXPECT_TRUE(run.pieces.empty());
  EXPECT_EQ(run.log, "");
}

TEST(AddSectionsGate, OnlyAnUpstreamWalkRecordsPieces) {
  SectionRun run = RunAddSections(ThreeSections().Build(), 7, {-1.0}, "D");
  EXPECT_TRUE(run.pieces.empty());
  EXPECT_EQ(run.log, kHeader);
}

TEST(AddSectionsGate, ReachWithoutSectionsOnlyAnnouncesItself) {
  TestNetwork net;
  net.Reach(7, "R7", 2000).Flow(9, 7, 40.0);
  SectionRun run = RunAddSections(net.Build(), 7, {-1.0});
  EXPECT_TRUE(run.pieces.empty());
  EXPECT_EQ(run.log, kHeader);
}

TEST(AddSectionsGate, NoSectionAtMeasureZeroRecordsNothing) {
  TestNetwork net;
  net.Reach(7, "R7", 2000).Flow(9, 7, 40.0);
  net.Section(7, 10, 100, 1800);
  SectionRun run = RunAddSections(net.Build(), 7, {-1.0});
  EXPECT_TRUE(run.pieces.empty());
  EXPECT_EQ(run.log, kHeader);
}

TEST(AddSectionsGate, ReachMissingFromReachTableGetsPiecesWithoutLength) {
  TestNetwork net;
  net.Flow(9, 7, 40.0).Section(7, 0, 30, 600).Section(7, 30, 100, 1400);
  SectionRun run = RunAddSections(net.Build(), 7, {-1.0});
  EXPECT_EQ(run.pieces, (Pieces{{7, 0, 30, 0}, {7, 30, 100, 0}}));
}

}  // namespace
}  // namespace rill::netwalk_testing
