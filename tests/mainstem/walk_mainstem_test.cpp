// The mainstem walk: start, step cap, loops, limits and branched starts.
#include <gtest/gtest.h>

#include <string>

#include "mainstem/mainstem.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::LoadNet;
using testing::Pass;

std::string ComIds(const NavState& state) {
  std::string out;
  for (const ResultRecord& r : state.results.records()) out += std::to_string(r.Com_id) + " ";
  return out;
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

const char* kTwoReaches = "1,A,1,1,1000,1\n2,B,1,1,2000,1\n";

TEST(WalkMainstem, SmallFlowTablesStillTakeTheStartAndOneStep) {
  // No flow row at all: the start reach is output, the failed step sets noNextReach.
  auto empty = LoadNet("", "", kTwoReaches);
  Pass alone(empty->tables);
  WalkMainstem(alone.ctx(), testing::LegacyWalk(alone.ctx().tables, 1, "A", 40.0, "", -1.0, "D", -1.0, "", 0));
  EXPECT_EQ(ComIds(alone.state()), "1 ");
  EXPECT_EQ(alone.state().results.records()[0].ToMeasure, 0.0);
  EXPECT_EQ(alone.state().noNextReach, 1);

  // One row A -> B: down from A, both are output.
  auto one = LoadNet("", "1,1,2,0,709,0\n", kTwoReaches);
  Pass down(one->tables);
  WalkMainstem(down.ctx(), testing::LegacyWalk(down.ctx().tables, 1, "A", 40.0, "", -1.0, "D", -1.0, "", 0));
  EXPECT_EQ(ComIds(down.state()), "1 2 ");
  EXPECT_EQ(down.state().results.records()[1].TravelDistance, 2400.0);  // 400 + 2000
  EXPECT_EQ(down.state().noNextReach, 1);
  // Up from B, the row is followed the other way.
  Pass up(one->tables);
  WalkMainstem(up.ctx(), testing::LegacyWalk(up.ctx().tables, 1, "B", -1.0, "", -1.0, "U", -1.0, "", 0));
  EXPECT_EQ(ComIds(up.state()), "2 1 ");

  // An unknown start code: nothing at all.
  Pass unknown(one->tables);
  WalkMainstem(unknown.ctx(), testing::LegacyWalk(unknown.ctx().tables, 1, "Q", 40.0, "", -1.0, "D", -1.0, "", 0));
  EXPECT_EQ(ComIds(unknown.state()), "");
  EXPECT_EQ(unknown.state().noNextReach, 0);
  EXPECT_EQ(unknown.Log(), "");
}

TEST(WalkMainstem, ALoopIsWalkedUntilTheStepCap) {
  // A <-> B walked up: every step writes one "Found" line, so the lines count
  // the steps. The cap is max(1.25 * flowLast, flowLast + 1) and the counter runs
  // from 0 while it is not above the cap.
  struct Case {
    int extraRows;
    std::size_t steps;
  } cases[] = {
      {0, 3},   // flowLast 1: cap 2, steps 0..2
      {2, 5},   // flowLast 3: cap max(3.75, 4) = 4, steps 0..4
      {3, 6},   // flowLast 4: cap 5
      {4, 7},   // flowLast 5: cap 6.25, steps 0..6
      {8, 12},  // flowLast 9: cap 11.25, steps 0..11
  };
  for (const Case& c : cases) {
    std::string flows = "1,1,2,0,709,0\n2,2,1,0,709,0\n";
    for (int i = 0; i < c.extraRows; ++i)
      flows += std::to_string(10 + i) + "," + std::to_string(100 + i) + "," + std::to_string(200 + i) + ",0,709,0\n";
    auto net = LoadNet("", flows, kTwoReaches);
    Pass p(net->tables);
    WalkMainstem(p.ctx(), testing::LegacyWalk(p.ctx().tables, 1, "A", -1.0, "", -1.0, "U", -1.0, "", 0));
    const std::string log = p.Log();
    EXPECT_EQ(Count(log, "Found 709 - DLevel = 0: "), c.steps) << c.extraRows << "\n" << log;
    EXPECT_EQ(ComIds(p.state()), "1 2 ");
    EXPECT_EQ(p.state().noNextReach, 0);
  }

  // The same loop walked down ends too, each reach output once.
  auto net = LoadNet("", "1,1,2,0,709,0\n2,2,1,0,709,0\n", kTwoReaches);
  Pass down(net->tables);
  WalkMainstem(down.ctx(), testing::LegacyWalk(down.ctx().tables, 3, "B", 50.0, "", -1.0, "D", 1e9, "", 0));
  EXPECT_EQ(ComIds(down.state()), "2 1 ");
  EXPECT_EQ(down.state().noNextReach, 0);
}

TEST(WalkMainstem, EndsAtTheEndReachOrOneStepAfterTheLimit) {
  // A -> B -> C -> D, 1000 m each. B meets C at 40 (B ends at node 2, where C's
  // section 0-40 begins).
  auto net =
      LoadNet("0,100,1,2,2,1000\n0,40,2,3,3,400\n40,100,4,2,3,600\n", "1,1,2,0,709,0\n2,2,3,1,709,0\n3,3,4,0,709,0\n",
              "1,A,1,1,1000,1\n2,B,1,1,1000,1\n3,C,1,1,1000,1\n4,D,1,1,1000,1\n");
  ASSERT_EQ(net->tables.flows()[1].Sequence, 40.0);

  Pass toEnd(net->tables);
  WalkMainstem(toEnd.ctx(), testing::LegacyWalk(toEnd.ctx().tables, 5, "A", 50.0, "B", 30.0, "D", -1.0, "", 0));
  EXPECT_EQ(ComIds(toEnd.state()), "1 2 ");
  EXPECT_EQ(toEnd.state().results.records()[1].ToMeasure, 30.0);
  EXPECT_EQ(toEnd.state().noNextReach, 0);
  EXPECT_EQ(toEnd.Log().find("interior"), std::string::npos);  // no step out of B

  // 1500 m from the top of A: cut in B at 50. The next step still runs and
  // records C's interior piece; C then gets no record but lets the walk go on
  // to D, whose whole passage ends the walk.
  Pass limit(net->tables);
  WalkMainstem(limit.ctx(), testing::LegacyWalk(limit.ctx().tables, 3, "A", -1.0, "", -1.0, "D", 1500.0, "", 0));
  EXPECT_EQ(ComIds(limit.state()), "1 2 ");
  EXPECT_EQ(limit.state().results.records()[1].ToMeasure, 50.0);
  EXPECT_EQ(
      limit.Log(),
      "Output Com_id: 1, Rch_code: A, From Measure:     100.00, To Measure:       0.00, TravelDistance:           "
      "1000.00000, Reach Length: 1000.00000\n"
      "Output Com_id: 2, Rch_code: B, From Measure:     100.00, To Measure:      50.00, TravelDistance:           "
      "1500.00000, Reach Length:  500.00000\n"
      "Reach 2 flows in to (or out of) the interior of reach 3\n");
  ASSERT_EQ(limit.state().specials.entries().size(), 1u);
  EXPECT_EQ(limit.state().specials.entries()[0].meters, 400.0);  // 40 / 100 * 1000
  EXPECT_EQ(limit.state().noNextReach, 0);

  // Without a limit C is output as its piece, 40 down to 0.
  Pass whole(net->tables);
  WalkMainstem(whole.ctx(), testing::LegacyWalk(whole.ctx().tables, 1, "A", -1.0, "", -1.0, "D", -1.0, "", 0));
  EXPECT_EQ(ComIds(whole.state()), "1 2 3 4 ");
  EXPECT_EQ(whole.state().results.records()[2].FromMeasure, 40.0);
  EXPECT_EQ(whole.state().results.records()[3].TravelDistance, 3400.0);
  EXPECT_EQ(whole.state().noNextReach, 1);
}

TEST(WalkMainstem, BranchedStartIsCutIntoSectionsOnlyGoingDownInMode0) {
  // BR: 50-100 (1 -> 2, 400 m), 0-50 (2 -> 3, 300 m), branch 100-150 (200 m).
  auto net = LoadNet("50,100,1,2,1,400\n0,50,2,3,1,300\n100,150,4,1,1,200\n", "", "1,BR,1,1,1000,1\n");
  ASSERT_EQ(net->tables.ReachByComId(1)->Branched, 1);

  Pass pieces(net->tables);
  WalkMainstem(pieces.ctx(), testing::LegacyWalk(pieces.ctx().tables, 1, "BR", 75.0, "", -1.0, "D", -1.0, "", 0));
  // (75 - 50) * 400 / 50 = 200, then the section below: 300.
  const auto& r = pieces.state().results.records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].FromMeasure, 75.0);
  EXPECT_EQ(r[0].ToMeasure, 50.0);
  EXPECT_EQ(r[0].RchLength, 200.0);
  EXPECT_EQ(r[1].FromMeasure, 50.0);
  EXPECT_EQ(r[1].ToMeasure, 0.0);
  EXPECT_EQ(r[1].TravelDistance, 500.0);

  Pass wholeMode(net->tables);
  WalkMainstem(wholeMode.ctx(), testing::LegacyWalk(wholeMode.ctx().tables, 1, "BR", 75.0, "", -1.0, "D", -1.0, "", 1));
  ASSERT_EQ(wholeMode.state().results.records().size(), 1u);
  EXPECT_EQ(wholeMode.state().results.records()[0].RchLength, 750.0);  // 75 / 100 * 1000
  EXPECT_TRUE(wholeMode.state().specials.entries().empty());

  Pass up(net->tables);
  WalkMainstem(up.ctx(), testing::LegacyWalk(up.ctx().tables, 1, "BR", 75.0, "", -1.0, "U", -1.0, "", 0));
  ASSERT_EQ(up.state().results.records().size(), 1u);
  // Up with type 1 over the main range (400 + 300 m): (100 - 75) / 100 * 700.
  EXPECT_EQ(up.state().results.records()[0].RchLength, 175.0);
  EXPECT_TRUE(up.state().specials.entries().empty());
}

}  // namespace
}  // namespace rill
