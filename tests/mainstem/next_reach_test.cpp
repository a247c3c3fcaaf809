// The choice of the flow row a mainstem walk follows out of a reach.
#include <gtest/gtest.h>

#include "mainstem/mainstem.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::LoadNet;
using testing::Pass;
using testing::Pieces;
using testing::PiecesOf;

std::int32_t RelOf(const NetworkTables& t, std::int32_t row) {
  return row < 0 ? -1 : t.flows()[static_cast<std::size_t>(row)].Rel_com_Id;
}

TEST(NextDownstreamRow, PassesPreferTheMainPathThenFallBack) {
  auto net = LoadNet("",
                     // From 1: a Dir 714 main-path row and a Dir 709 row of level 1.
                     "1,1,2,0,714,0\n2,1,3,0,709,1\n"
                     // From 5: to reach 0 (known but 0), to an unknown reach, then level -9998.
                     "3,5,0,0,709,0\n4,5,99,0,709,-9999\n5,5,3,0,709,-9998\n"
                     // From 6: level 2 first, then a level-1 row to an unknown reach, then a known one.
                     "6,6,4,0,709,2\n7,6,99,0,709,1\n8,6,3,0,709,1\n"
                     // From 7: level 2, then a level-1 row: pass 2 takes it.
                     "9,7,4,0,709,2\n10,7,3,0,709,1\n"
                     // From 8: only Dir 714 of level 1 and rows to unknown reaches.
                     "11,8,3,0,714,1\n12,8,99,0,709,0\n",
                     "0,Z0,1,1,100,1\n1,A,1,1,100,1\n2,B,1,1,100,1\n3,C,1,1,100,1\n4,D,1,1,100,1\n"
                     "5,E,1,1,100,1\n6,F,1,1,100,1\n7,G,1,1,100,1\n8,H,1,1,100,1\n");
  const NetworkTables& t = net->tables;

  Pass fresh(t);
  EXPECT_EQ(RelOf(t, NextDownstreamRow(fresh.ctx(), 1)), 1);  // Dir 714 while no 709 was taken
  EXPECT_EQ(fresh.state().took709, 0);
  EXPECT_EQ(RelOf(t, NextDownstreamRow(fresh.ctx(), 5)), 5);  // 0 and the unknown reach passed over
  EXPECT_EQ(fresh.state().took709, 1);
  EXPECT_EQ(RelOf(t, NextDownstreamRow(fresh.ctx(), 1)), 2);  // now the 714 row is refused
  EXPECT_EQ(fresh.state().noNextReach, 0);

  Pass levels(t);
  // Pass 2 looks at its first row only (to 99, unknown): pass 3 then takes the
  // first known Dir 709 row, the level-2 row to D, not the level-1 row to C.
  EXPECT_EQ(RelOf(t, NextDownstreamRow(levels.ctx(), 6)), 6);
  EXPECT_EQ(RelOf(t, NextDownstreamRow(levels.ctx(), 7)), 10);
  EXPECT_EQ(levels.state().noNextReach, 0);
  EXPECT_EQ(levels.Log(), "");

  Pass none(t);
  EXPECT_EQ(NextDownstreamRow(none.ctx(), 8), -1);  // 714 is never a pass-3 row; 99 is unknown
  EXPECT_EQ(none.state().noNextReach, 1);
  EXPECT_EQ(none.state().took709, 0);
  Pass nothing(t);
  EXPECT_EQ(NextDownstreamRow(nothing.ctx(), 3), -1);  // no row leaves C
  EXPECT_EQ(nothing.state().noNextReach, 1);
  EXPECT_EQ(nothing.Log(), "");
}

TEST(NextDownstreamRow, RecordsTheReachItEntersInPart) {
  // Reach 1 ends at node 11. Branched reach 5 (1000 m): 100-130 begins at 11,
  // 40-100 below it, 0-40 at its bottom; the row 1 -> 5 meets 5 at 130.
  // Lake 6: 150-200 begins at 11 (reach 2 ends there too), then 100-150.
  // Reach 8 with a row read as 8,7 Dir 710: stored 7 -> 8, its measure (50) lies on 7.
  auto net = LoadNet(
      "0,100,10,11,1,1000\n"
      "100,130,11,12,5,300\n40,100,12,13,5,600\n0,40,13,14,5,400\n"
      "0,100,20,11,2,1000\n"
      "150,200,11,16,6,500\n100,150,16,17,6,500\n"
      "0,50,32,33,7,500\n50,100,34,30,7,500\n"
      "0,100,30,31,8,100\n",
      "1,1,5,1,709,0\n2,2,6,0,709,0\n3,8,7,1,710,0\n",
      "1,A,1,1,1000,1\n2,B,1,1,1000,1\n5,BR,1,1,1000,1\n6,LK,1,1,1000,1\n7,C,1,1,1000,1\n8,D,1,1,100,1\n");
  const NetworkTables& t = net->tables;
  ASSERT_EQ(t.flows()[0].Sequence, 130.0);
  ASSERT_EQ(t.flows()[2].Sequence, 50.0);

  Pass branched(t);
  EXPECT_EQ(RelOf(t, NextDownstreamRow(branched.ctx(), 1)), 1);
  EXPECT_EQ(branched.Log(),
            "Reach 1 flows into the branched reach 5\n"
            "Reach 1 flows in to (or out of) the interior of reach 5\n");
  // The branch piece, then 100 down to 0 over the sections below 100 (600 + 400),
  // then the interior piece 130 down to 0: 130 / 100 * 1000.
  EXPECT_EQ(PiecesOf(branched.state().specials),
            (Pieces{{5, 130.0, 100.0, 300.0}, {5, 100.0, 0.0, 1000.0}, {5, 130.0, 0.0, 1300.0}}));
  EXPECT_EQ(branched.state().branchFallbackUsed, 0);

  Pass lake(t);
  EXPECT_EQ(RelOf(t, NextDownstreamRow(lake.ctx(), 2)), 2);
  EXPECT_EQ(lake.Log(), "Reach 2 flows into the lake reach with no mainpath 6\n");
  ASSERT_EQ(lake.state().specials.entries().size(), 2u);
  EXPECT_EQ(lake.state().specials.entries()[0].f_meas, 200.0);
  EXPECT_EQ(lake.state().specials.entries()[1].t_meas, 100.0);

  // Leaving 7 through the row read as Dir 710: no interior line, nothing recorded.
  Pass reversed(t);
  EXPECT_EQ(RelOf(t, NextDownstreamRow(reversed.ctx(), 7)), 3);
  EXPECT_EQ(reversed.Log(), "");
  EXPECT_TRUE(reversed.state().specials.entries().empty());
  EXPECT_EQ(reversed.state().took709, 1);
}

TEST(NextUpstreamRow, PassesAndTheirTraceLines) {
  // Reach 2 is entered only by rows read as Dir 710 (2,3 and 2,4), level 2:
  // 2 begins at node 21, where 3's section 30-100 and 4's section 20-100 end.
  // Reach 15 is entered by a level-1 row read as Dir 710 from 16 (at 10 on 16).
  // Reach 18 is entered at 40 by a level-1 Dir 709 row from 17; reach 25 at 70 by
  // a level-3 one.
  auto net = LoadNet(
      "0,100,21,22,2,800\n"
      "0,30,31,32,3,300\n30,100,33,21,3,700\n"
      "20,100,43,21,4,500\n"
      "0,100,50,51,15,100\n10,100,52,50,16,1000\n"
      "0,100,60,61,17,100\n0,40,61,62,18,400\n40,100,63,61,18,600\n0,70,61,64,25,700\n",
      "1,2,3,1,710,2\n2,2,4,1,710,2\n"
      "3,11,10,0,709,0\n4,12,10,0,712,0\n"
      "5,13,14,0,709,-9999\n"
      "6,15,16,1,710,1\n"
      "7,17,18,1,709,1\n"
      "8,98,20,0,709,0\n9,19,20,0,709,5\n"
      "10,22,21,0,714,0\n"
      "11,17,25,1,709,3\n",
      "2,R2,1,1,800,1\n3,R3,1,1,1000,1\n4,R4,1,1,500,1\n10,R10,1,1,1,1\n11,R11,1,1,1,1\n12,R12,1,1,1,1\n"
      "13,R13,1,1,1,1\n14,R14,1,1,1,1\n15,R15,1,1,100,1\n16,R16,1,1,1000,1\n17,R17,1,1,100,1\n"
      "18,R18,1,1,1000,1\n19,R19,1,1,1,1\n20,R20,1,1,1,1\n21,R21,1,1,1,1\n22,R22,1,1,1,1\n25,R25,1,1,700,1\n");
  const NetworkTables& t = net->tables;

  Pass p(t);
  // Only pass 4 takes a Dir 710 row of level 2: the first one, recorded from 30 up
  // to 100 on reach 3: (100 - 30) / 100 * 1000 = 700.
  EXPECT_EQ(RelOf(t, NextUpstreamRow(p.ctx(), 2)), 1);
  EXPECT_EQ(p.Log(), "Found 710: 3\nFound something else: 3\n");
  EXPECT_EQ(PiecesOf(p.state().specials), (Pieces{{3, 30.0, 100.0, 700.0}}));

  // Level -9999 with Sequence 0: pass 2.
  EXPECT_EQ(RelOf(t, NextUpstreamRow(p.ctx(), 14)), 5);
  EXPECT_EQ(p.Log(), "Found 709 - DLevel = 1 - Sequence 0: 13\n");
  // Pass 3, row read as Dir 710: 16 recorded from 10 up, (100 - 10) / 100 * 1000.
  EXPECT_EQ(RelOf(t, NextUpstreamRow(p.ctx(), 15)), 6);
  EXPECT_EQ(p.Log(), "Found 709 - DLevel = 1 - Sequence Not 0: 16\n");
  EXPECT_EQ(PiecesOf(p.state().specials), (Pieces{{3, 30.0, 100.0, 700.0}, {16, 10.0, 100.0, 900.0}}));
  // Pass 3 with an ordinary row: nothing recorded.
  EXPECT_EQ(RelOf(t, NextUpstreamRow(p.ctx(), 18)), 7);
  EXPECT_EQ(p.Log(), "Found 709 - DLevel = 1 - Sequence Not 0: 17\n");
  // Pass 4 with an ordinary row: only the last line.
  EXPECT_EQ(RelOf(t, NextUpstreamRow(p.ctx(), 25)), 11);
  EXPECT_EQ(p.Log(), "Found something else: 17\n");
  // An unknown reach is passed over in every pass: pass 1 finds nothing, pass 2 row 9.
  EXPECT_EQ(RelOf(t, NextUpstreamRow(p.ctx(), 20)), 9);
  EXPECT_EQ(p.Log(), "Found 709 - DLevel = 1 - Sequence 0: 19\n");
  EXPECT_EQ(p.state().specials.entries().size(), 2u);
  EXPECT_EQ(p.state().noNextReach, 0);

  // The Dir 712 veto comes after the line of the pass that chose the row.
  Pass veto(t);
  EXPECT_EQ(NextUpstreamRow(veto.ctx(), 10), -1);
  EXPECT_EQ(veto.Log(), "Found 709 - DLevel = 0: 11\n");
  EXPECT_EQ(veto.state().noNextReach, 1);

  // Dir 714 rows are never followed up; no row at all: no line either.
  Pass coast(t);
  EXPECT_EQ(NextUpstreamRow(coast.ctx(), 21), -1);
  EXPECT_EQ(coast.state().noNextReach, 1);
  Pass top(t);
  EXPECT_EQ(NextUpstreamRow(top.ctx(), 17), -1);
  EXPECT_EQ(top.state().noNextReach, 1);
  EXPECT_EQ(coast.Log() + top.Log(), "");
  EXPECT_EQ(top.state().took709, 0);
}

}  // namespace
}  // namespace rill
