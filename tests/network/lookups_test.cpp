// Lookups over the loaded tables and the classification of reaches.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "network/classify.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::LoadNet;

TEST(Lookups, ReachCodesAreFoundFirstInFileOrderAndExactly) {
  auto net = LoadNet("", "",
                     "9,X,1,1,100,1\n"
                     "2,X,1,1,100,2\n"  // same code, smaller Com_id, later in the file
                     "3,x,1,1,100,3\n"
                     "4,XY,1,1,100,4\n"
                     "1,W,1,1,100,5\n");
  const NetworkTables& t = net->tables;
  ASSERT_EQ(t.reaches().size(), 5u);
  const std::int32_t x = t.FindReachByRchCode("X");
  ASSERT_GE(x, 0);
  EXPECT_EQ(t.reaches()[static_cast<std::size_t>(x)].Com_id, 9);
  const std::int32_t lower = t.FindReachByRchCode("x");
  ASSERT_GE(lower, 0);
  EXPECT_EQ(t.reaches()[static_cast<std::size_t>(lower)].Com_id, 3);
  const std::int32_t xy = t.FindReachByRchCode("XY");
  ASSERT_GE(xy, 0);
  EXPECT_EQ(t.reaches()[static_cast<std::size_t>(xy)].Com_id, 4);
  EXPECT_EQ(t.FindReachByRchCode("Y"), -1);
  EXPECT_EQ(t.FindReachByRchCode("w"), -1);
  EXPECT_EQ(t.FindReachByRchCode("X "), -1);
  EXPECT_EQ(t.FindReachByRchCode(""), -1);

  const std::int32_t two = t.FindReachByComId(2);
  ASSERT_GE(two, 0);
  EXPECT_EQ(t.reaches()[static_cast<std::size_t>(two)].Duu_id, 2);
  EXPECT_EQ(t.FindReachByComId(5), -1);
  EXPECT_EQ(t.ReachByComId(5), nullptr);
  ASSERT_NE(t.ReachByComId(1), nullptr);
  EXPECT_EQ(t.ReachByComId(1)->Code(), "W");
}

TEST(Lookups, SectionsOfAReachStandTogetherInFileOrder) {
  auto net = LoadNet(
      "0,30,1,2,7,300\n"
      "0,100,1,2,8,100\n"
      "30,60,3,1,7,300\n"
      "0,100,1,2,5,100\n"
      "60,100,4,3,7,400\n",
      "", "");
  const NetworkTables& t = net->tables;
  // By Com_id: 5 at 0; 7 at 1, 2 and 3 in file order; 8 at 4.
  EXPECT_EQ(t.FirstSectionOf(5), 0);
  EXPECT_EQ(t.FirstSectionOf(7), 1);
  EXPECT_EQ(t.FirstSectionOf(8), 4);
  EXPECT_EQ(t.FirstSectionOf(6), -1);
  ASSERT_EQ(t.sections().size(), 5u);
  EXPECT_EQ(t.sections()[1].F_meas, 0.0);
  EXPECT_EQ(t.sections()[2].F_meas, 30.0);
  EXPECT_EQ(t.sections()[3].F_meas, 60.0);
  EXPECT_EQ(t.SectionsOf(7).size(), 3u);
  EXPECT_TRUE(t.SectionsOf(6).empty());
  // The load dump lists them in file order all the same.
  EXPECT_NE(net->loadLog.find("Subscript: 1, F_meas:    0.00000, T_meas:  100.00000, Fnode: 1, Tnode: 2,Com_id: 8"),
            std::string::npos);
}

TEST(Lookups, InteriorInflowIsTrueWheneverSomeEnteringRowHasAPositiveMeasure) {
  // Reach 10 ends at node 3; reach 30 begins there with its section 0-37.5, so
  // the row 10 -> 30 meets 30 at 37.5. Reach 99 (the highest Com_id2) is met at 50.
  // The Dir 710 row is stored as 41 -> 40: 40's top begins at node 8, where 41's
  // section 20-100 ends, so it meets 41 at 20 and is stored with Com_id2 40.
  auto net = LoadNet(
      "0,100,1,3,10,100\n"
      "0,37.5,3,4,30,100\n"
      "37.5,100,5,3,30,100\n"
      "0,50,3,7,99,100\n"
      "0,100,8,9,40,100\n"
      "20,100,10,8,41,100\n",
      "5,10,99,1,709,0\n"
      "1,10,30,1,709,0\n"
      "2,11,30,0,709,0\n"
      "3,10,20,0,709,0\n"
      "4,11,20,0,709,0\n"
      "6,40,41,1,710,0\n",
      "");
  const NetworkTables& t = net->tables;
  ASSERT_EQ(t.flows().size(), 6u);
  EXPECT_EQ(t.flows()[1].Sequence, 37.5);
  EXPECT_EQ(t.flows()[0].Sequence, 50.0);
  EXPECT_EQ(t.flows()[5].Sequence, 20.0);
  EXPECT_TRUE(t.HasInteriorInflow(30));
  EXPECT_FALSE(t.HasInteriorInflow(20));
  EXPECT_TRUE(t.HasInteriorInflow(99));
  EXPECT_FALSE(t.HasInteriorInflow(10));
  EXPECT_FALSE(t.HasInteriorInflow(12345));
  EXPECT_TRUE(t.HasInteriorInflow(40));
  EXPECT_FALSE(t.HasInteriorInflow(41));

  // The row blocks keep file order within one reach.
  auto into30 = t.RowsInto(30);
  ASSERT_EQ(into30.size(), 2u);
  EXPECT_EQ(t.flows()[static_cast<std::size_t>(into30[0])].Rel_com_Id, 1);
  EXPECT_EQ(t.flows()[static_cast<std::size_t>(into30[1])].Rel_com_Id, 2);
  auto from10 = t.RowsFrom(10);
  ASSERT_EQ(from10.size(), 3u);
  EXPECT_EQ(t.flows()[static_cast<std::size_t>(from10[0])].Rel_com_Id, 5);
  EXPECT_EQ(t.flows()[static_cast<std::size_t>(from10[2])].Rel_com_Id, 3);
}

TEST(Lookups, DenseIdsNameEveryComIdAndAnswerAsTheComIds) {
  // 40 has only sections, 0 and 50 only flow rows, 60 only a reach; 7 has
  // rows both ways and 8 comes twice in the reach table.
  auto net = LoadNet("0,100,1,2,40,100\n0,50,1,2,7,100\n50,100,2,3,7,100\n",
                     "1,0,7,0,712,0\n2,7,8,30,709,0\n3,8,50,0,709,1\n4,40,7,0,709,0\n",
                     "7,A,1,1,100,1\n8,B,1,1,100,2\n8,C,1,1,100,3\n60,D,1,1,100,4\n");
  const NetworkTables& t = net->tables;
  std::vector<bool> taken(t.idCount(), false);
  for (std::int32_t comId : {0, 7, 8, 40, 50, 60}) {
    const std::int32_t id = t.IdOf(comId);
    ASSERT_GE(id, 0) << comId;
    ASSERT_LT(static_cast<std::size_t>(id), t.idCount()) << comId;
    EXPECT_FALSE(taken[static_cast<std::size_t>(id)]) << comId;
    taken[static_cast<std::size_t>(id)] = true;
    EXPECT_EQ(t.ReachAt(id), t.FindReachByComId(comId)) << comId;
    EXPECT_EQ(t.ReachRecordAt(id), t.ReachByComId(comId)) << comId;
    EXPECT_TRUE(std::ranges::equal(t.RowsFromAt(id), t.RowsFrom(comId))) << comId;
    EXPECT_TRUE(std::ranges::equal(t.RowsIntoAt(id), t.RowsInto(comId))) << comId;
    EXPECT_EQ(t.HasInteriorInflowAt(id), t.HasInteriorInflow(comId)) << comId;
  }
  for (const FlowRecord& f : t.flows()) {
    EXPECT_EQ(f.id1, t.IdOf(f.Com_id1)) << f.Rel_com_Id;
    EXPECT_EQ(f.id2, t.IdOf(f.Com_id2)) << f.Rel_com_Id;
  }
  EXPECT_EQ(t.IdOf(99), -1);
  EXPECT_EQ(t.ReachAt(-1), -1);
  EXPECT_EQ(t.ReachRecordAt(-1), nullptr);
  EXPECT_TRUE(t.RowsFromAt(-1).empty());
  EXPECT_FALSE(t.HasInteriorInflowAt(-1));
}

TEST(Classification, BranchedFromTheMeasuresDivergentFromTheRows) {
  auto net = LoadNet(
      "0,40,1,2,1,100\n40,100,3,1,1,100\n"      // reach 1: 0
      "0,100,1,2,2,100\n100,140,3,1,2,100\n"    // reach 2: 1
      "100,150,1,2,3,100\n150,200,3,1,3,100\n"  // reach 3: 2
      "100,100,1,2,4,100\n"                     // reach 4: 100 exactly is neither: 0
      "nan,150,1,2,7,100\n"                     // reach 7: above only: 2
      "0,100,1,2,8,100\n120,130,3,4,8,10\n",    // reach 8: 1
      // reach 2: three rows leave, two enter -> 1; reach 3: one each -> 0;
      // reach 1: three leave, none enters, but it is not branched -> 0;
      // reach 8: one row from 8 to 8 counts on both sides, one more leaves -> 1.
      "1,2,10,0,709,0\n2,2,11,0,709,0\n3,2,12,0,709,0\n4,13,2,0,709,0\n5,14,2,0,709,0\n"
      "6,3,15,0,709,0\n7,16,3,0,709,0\n"
      "8,1,17,0,709,0\n9,1,18,0,709,0\n10,1,19,0,709,0\n"
      "11,8,8,0,709,0\n12,8,20,0,709,0\n",
      "1,R1,1,1,100,1\n2,R2,1,1,100,1\n3,R3,1,1,100,1\n4,R4,1,1,100,1\n5,R5,1,1,100,1\n"
      "7,R7,1,1,100,1\n8,R8,1,1,100,1\n");
  const NetworkTables& t = net->tables;
  auto kind = [&](std::int32_t c) { return t.ReachByComId(c)->Branched; };
  auto divergent = [&](std::int32_t c) { return t.ReachByComId(c)->Divergent; };
  EXPECT_EQ(kind(1), 0);
  EXPECT_EQ(kind(2), 1);
  EXPECT_EQ(kind(3), 2);
  EXPECT_EQ(kind(4), 0);
  EXPECT_EQ(kind(5), 0);  // no sections
  EXPECT_EQ(kind(7), 2);
  EXPECT_EQ(kind(8), 1);
  EXPECT_EQ(divergent(2), 1);
  EXPECT_EQ(divergent(3), 0);
  EXPECT_EQ(divergent(1), 0);
  EXPECT_EQ(divergent(8), 1);
  EXPECT_EQ(ClassifyBranched(t, 12345), 0);
  EXPECT_EQ(ClassifyDivergent(t, 1), 1);  // the counts alone say 1; the loader asks only branched reaches

  // An empty section table: every reach is ordinary.
  auto bare = LoadNet("", "1,2,10,0,709,0\n2,2,11,0,709,0\n", "2,R2,1,1,100,1\n");
  EXPECT_NE(bare->loadLog.find("Successfully read 0 records from W/secdata.txt file\nSubscripts range from 0 to -1\n"),
            std::string::npos);
  EXPECT_EQ(bare->tables.ReachByComId(2)->Branched, 0);
  EXPECT_EQ(bare->tables.ReachByComId(2)->Divergent, 0);
}

}  // namespace
}  // namespace rill
