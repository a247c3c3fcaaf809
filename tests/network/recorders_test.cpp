// The special-case recorders: the pieces of a reach that a walk really passes.
#include "network/recorders.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::LoadNet;

struct Piece {
  std::int32_t comId;
  double from;
  double to;
  double meters;
};

// Equal, or both NaN.
bool SameMeasure(double got, double want) { return std::isnan(want) ? std::isnan(got) : got == want; }

void ExpectPieces(const SpecialCaseList& list, std::initializer_list<Piece> want) {
  ASSERT_EQ(list.entries().size(), want.size());
  std::size_t i = 0;
  for (const Piece& p : want) {
    const SpecialCaseRecord& e = list.entries()[i];
    EXPECT_EQ(e.Com_id, p.comId) << "entry " << i;
    EXPECT_TRUE(SameMeasure(e.f_meas, p.from)) << "entry " << i << ": f_meas " << e.f_meas;
    EXPECT_TRUE(SameMeasure(e.t_meas, p.to)) << "entry " << i << ": t_meas " << e.t_meas;
    EXPECT_EQ(e.meters, p.meters) << "entry " << i;
    ++i;
  }
}

TEST(SpecialCaseList, FindsTheFirstEntryAndKeepsNoTwinPieces) {
  SpecialCaseList list;
  EXPECT_EQ(list.FindSpecialCase(7), -1);
  list.AppendSpecialCase({7, 40.0, 0.0, 200.0});
  list.AppendSpecialCase({9, 10.0, 0.0, 1.0});
  list.AppendSpecialCase({7, 100.0, 40.0, 5.0});
  list.AppendSpecialCase({7, 40.0, 0.0, 999.0});  // same reach and measures: not added
  EXPECT_EQ(list.FindSpecialCase(7), 0);
  EXPECT_EQ(list.FindSpecialCase(9), 1);
  EXPECT_TRUE(list.HasSpecialCase(7, 100.0, 40.0));
  EXPECT_FALSE(list.HasSpecialCase(7, 40.0, 100.0));
  EXPECT_EQ(list.last(), 2);
  EXPECT_EQ(list.entries()[0].meters, 200.0);
  // Pieces with a NaN measure match nothing, not even themselves.
  list.AppendSpecialCase({9, NAN, 0.0, 1.0});
  list.AppendSpecialCase({9, NAN, 0.0, 1.0});
  EXPECT_EQ(list.last(), 4);
  EXPECT_FALSE(list.HasSpecialCase(9, NAN, 0.0));
}

TEST(Recorders, InteriorJunctionPieces) {
  auto net = LoadNet("", "", "5,A,1,1,500,1\n");
  SpecialCaseList down;
  RecordInteriorJunction(net->tables, down, 5, 40.0, false);  // 40 / 100 * 500 = 200
  RecordInteriorJunction(net->tables, down, 5, 40.0, false);  // the same piece again: one entry
  RecordInteriorJunction(net->tables, down, 6, 40.0, false);  // 6 is no reach: nothing
  ExpectPieces(down, {{5, 40.0, 0.0, 200.0}});
  SpecialCaseList up;
  RecordInteriorJunction(net->tables, up, 5, 40.0, true);  // (100 - 40) / 100 * 500 = 300
  ExpectPieces(up, {{5, 40.0, 100.0, 300.0}});
}

TEST(Recorders, LakeEntryFollowsTheChainDownstream) {
  // Reach 1 ends at node 1. Lake 2: node 1 -> 2 over 150-200, 2 -> 3 over 100-150,
  // nothing begins at 3. Lake 3 has the same two sections and one from 3 back to 1.
  auto net = LoadNet(
      "0,100,9,1,1,1000\n"
      "150,200,1,2,2,500\n"
      "100,150,2,3,2,400\n"
      "120,130,7,8,2,50\n"
      "150,200,1,2,3,500\n"
      "100,150,2,3,3,400\n"
      "120,150,3,1,3,300\n",
      "", "1,A,1,1,1000,1\n2,L,1,1,900,1\n3,M,1,1,1200,1\n");
  SpecialCaseList chain;
  RecordLakeEntry(net->tables, chain, 1, 2);
  ExpectPieces(chain, {{2, 200.0, 150.0, 500.0}, {2, 150.0, 100.0, 400.0}});

  SpecialCaseList loop;
  RecordLakeEntry(net->tables, loop, 1, 3);
  ExpectPieces(loop, {{3, 200.0, 150.0, 500.0}, {3, 150.0, 100.0, 400.0}, {3, 150.0, 120.0, 300.0}});

  // Reach 4 has no section, so there is no entry node: nothing is recorded.
  SpecialCaseList none;
  RecordLakeEntry(net->tables, none, 4, 2);
  EXPECT_TRUE(none.entries().empty());
}

TEST(Recorders, LakeChainOfNaNMeasuresEndsAfterAsManyPiecesAsSections) {
  // Node 1 -> 2 -> 1 -> 2 ... never matches a recorded piece; lake 2 has three
  // sections, so three pieces are taken.
  auto net = LoadNet(
      "0,100,9,1,1,1000\n"
      "nan,200,1,2,2,10\n"
      "nan,180,2,1,2,20\n"
      "100,110,50,51,2,30\n",
      "", "1,A,1,1,1000,1\n2,L,1,1,900,1\n");
  SpecialCaseList list;
  RecordLakeEntry(net->tables, list, 1, 2);
  ExpectPieces(list, {{2, 200.0, NAN, 10.0}, {2, 180.0, NAN, 20.0}, {2, 200.0, NAN, 10.0}});
}

TEST(Recorders, BranchedEntryReachesTheMainRange) {
  // Reach 1 ends at node 5 (its section from 0).
  // Reach 2: the section beginning at 5 is in the main range: one piece from its
  // top down to 0, as long as the sections below 60 (600).
  // Reach 3: 120-140 (5 -> 8), 100-120 (8 -> 9), then 0-50 begins at 9:
  // two branch pieces, then 50 down to 0 over the sections below 50 (500).
  // Reach 4: no section begins at 5, 100-150 ends there (fallback), its Fnode 30
  // is next; the only section beginning at 30 leads back to 5, the node just
  // left, so 0-100, which ends at 30, is taken (fallback again).
  auto net = LoadNet(
      "50,100,4,6,1,100\n0,50,6,5,1,100\n"
      "0,60,5,6,2,600\n60,100,7,5,2,400\n100,140,8,7,2,300\n"
      "120,140,5,8,3,200\n100,120,8,9,3,150\n0,50,9,10,3,500\n50,100,11,9,3,450\n"
      "100,150,30,5,4,250\n0,100,41,30,4,800\n",
      "", "1,A,1,1,200,1\n2,B,1,1,1300,1\n3,C,1,1,1300,1\n4,D,1,1,1000,1\n");
  SpecialCaseList direct;
  std::int16_t fallback = 0;
  RecordBranchedEntry(net->tables, direct, 1, 2, fallback);
  ExpectPieces(direct, {{2, 60.0, 0.0, 600.0}});
  EXPECT_EQ(fallback, 0);

  SpecialCaseList chain;
  RecordBranchedEntry(net->tables, chain, 1, 3, fallback);
  ExpectPieces(chain, {{3, 140.0, 120.0, 200.0}, {3, 120.0, 100.0, 150.0}, {3, 50.0, 0.0, 500.0}});
  EXPECT_EQ(fallback, 0);

  SpecialCaseList against;
  RecordBranchedEntry(net->tables, against, 1, 4, fallback);
  // 0-100: the main-range piece from 100 down, over the sections below 100: 800.
  ExpectPieces(against, {{4, 150.0, 100.0, 250.0}, {4, 100.0, 0.0, 800.0}});
  EXPECT_EQ(fallback, 1);

  // No section of reach 9 (no entry node): nothing, and the flag untouched.
  SpecialCaseList none;
  std::int16_t untouched = 0;
  RecordBranchedEntry(net->tables, none, 9, 3, untouched);
  EXPECT_TRUE(none.entries().empty());
  EXPECT_EQ(untouched, 0);
}

TEST(Recorders, BranchedEntryThatNeverReachesTheMainRangeEnds) {
  // Reach 2: a loop of two branch sections. From node 5: 110-120 (5 -> 6); at 6
  // the only section beginning there leads back to 5, the node just left, and no
  // section other than the one from 5 ends at 6: the first section is taken again,
  // and that piece is already recorded.
  // Reach 3: the same with NaN measures, which never match a recorded piece:
  // it ends after two pieces, as many as the reach has sections.
  auto net = LoadNet(
      "0,100,9,5,1,100\n"
      "110,120,5,6,2,10\n120,130,6,5,2,20\n"
      "nan,150,5,6,3,10\nnan,160,6,5,3,20\n",
      "", "1,A,1,1,100,1\n2,B,1,1,100,1\n3,C,1,1,100,1\n");
  SpecialCaseList loop;
  std::int16_t fallback = 0;
  RecordBranchedEntry(net->tables, loop, 1, 2, fallback);
  ExpectPieces(loop, {{2, 120.0, 110.0, 10.0}});
  EXPECT_EQ(fallback, 1);

  SpecialCaseList nan;
  RecordBranchedEntry(net->tables, nan, 1, 3, fallback);
  ExpectPieces(nan, {{3, 150.0, NAN, 10.0}, {3, 150.0, NAN, 10.0}});
}

TEST(Recorders, StartSectionsFromTheStartMeasureDown) {
  // Reach 1: 50-100 (1 -> 2, 400 m), 0-50 (2 -> 3, 300 m).
  // From 75: (75 - 50) * 400 / (100 - 50) = 200, then 0-50 below node 2.
  auto net = LoadNet(
      "50,100,1,2,1,400\n0,50,2,3,1,300\n"
      "100,150,1,2,2,500\n150,200,3,1,2,500\n"
      "60,60,1,2,3,70\n"
      "0,100,1,2,4,1000\nnan,nan,2,3,4,5\nnan,nan,3,2,4,6\n",
      "", "1,A,1,1,700,1\n2,L,1,1,1000,1\n3,Z,1,1,70,1\n4,N,1,1,1000,1\n");
  SpecialCaseList list;
  RecordStartSections(net->tables, list, 1, 75.0);
  ExpectPieces(list, {{1, 75.0, 50.0, 200.0}, {1, 50.0, 0.0, 300.0}});

  // No section of the lake holds 50: the first section is used, 50 raised to 100.
  SpecialCaseList below;
  RecordStartSections(net->tables, below, 2, 50.0);
  ExpectPieces(below, {{2, 100.0, 100.0, 0.0}});
  // 250 is lowered to 150: (150 - 100) * 500 / 50 = 500.
  SpecialCaseList above;
  RecordStartSections(net->tables, above, 2, 250.0);
  ExpectPieces(above, {{2, 150.0, 100.0, 500.0}});

  // A section without extent gives a piece of 0 meters.
  SpecialCaseList flat;
  RecordStartSections(net->tables, flat, 3, 60.0);
  ExpectPieces(flat, {{3, 60.0, 60.0, 0.0}});

  // The chain after the first piece ends after as many pieces as sections (3),
  // although its NaN pieces never match: 2 -> 3 -> 2 -> 3.
  SpecialCaseList chain;
  RecordStartSections(net->tables, chain, 4, 50.0);
  ExpectPieces(chain, {{4, 50.0, 0.0, 500.0}, {4, NAN, NAN, 5.0}, {4, NAN, NAN, 6.0}, {4, NAN, NAN, 5.0}});

  // A reach without sections: nothing.
  SpecialCaseList none;
  RecordStartSections(net->tables, none, 9, 50.0);
  EXPECT_TRUE(none.entries().empty());
}

}  // namespace
}  // namespace rill
