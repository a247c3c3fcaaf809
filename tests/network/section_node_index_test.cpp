// The lookups of a reach's sections by end node and by measure: each must
// give the section a search through the reach's sections in file order
// would give.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "network/recorders.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::LoadNet;

// Sections here are told apart by their Meters; 0 stands for no section.
std::int32_t MetersOf(const SectionRecord* s) { return s == nullptr ? 0 : s->Meters; }

TEST(SectionNodeIndex, FirstSectionFromANodeIsTheFirstInFileOrder) {
  // Reach 1 has five sections starting at node 5, interleaved with reach 2's
  // sections in the file.
  auto net = LoadNet(
      "10,20,5,3,1,1\n"
      "0,10,2,5,2,100\n"
      "20,30,5,3,1,2\n"
      "30,40,2,5,1,3\n"
      "40,50,5,8,1,4\n"
      "50,60,5,3,1,5\n"
      "60,70,5,9,1,6\n"
      "10,20,5,4,2,200\n",
      "", "");
  const NetworkTables& t = net->tables;
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(1, 5)), 1);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(1, 2)), 3);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(2, 5)), 200);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(2, 2)), 100);
  // Nodes that only end sections, or that only another reach starts at.
  EXPECT_EQ(t.FirstSectionFrom(1, 3), nullptr);
  EXPECT_EQ(t.FirstSectionFrom(1, 4), nullptr);
  EXPECT_EQ(t.FirstSectionFrom(7, 5), nullptr);

  // Passing over the sections that go to a given node: the two leading 5 -> 3
  // sections are passed, and the first 5 -> 8 comes before the later 5 -> 3.
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(1, 5, 3)), 4);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(1, 5, 8)), 1);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(1, 5, 9)), 1);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(1, 5, -9999)), 1);
  // Reach 2's only section from 5 goes to 4; reach 1's sections from 5 do not count.
  EXPECT_EQ(t.FirstSectionFrom(2, 5, 4), nullptr);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(2, 5, 3)), 200);
}

TEST(SectionNodeIndex, AReachEndsItsRunOfSectionsAtANode) {
  // Reach 3's sections from 5 all go to 3, and 5 is its highest node; reach 4,
  // next among the sections, starts at 5 and 7 too.
  auto net = LoadNet(
      "0,10,1,5,3,1\n"
      "10,20,5,3,3,2\n"
      "20,30,5,3,3,3\n"
      "0,10,5,6,4,10\n"
      "10,20,7,5,4,20\n",
      "", "");
  const NetworkTables& t = net->tables;
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(3, 5)), 2);
  EXPECT_EQ(t.FirstSectionFrom(3, 5, 3), nullptr);
  EXPECT_EQ(t.FirstSectionFrom(3, 7), nullptr);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(4, 5, 3)), 10);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(4, 7)), 20);
  EXPECT_EQ(t.FirstSectionTo(3, 6), nullptr);
  EXPECT_EQ(MetersOf(t.FirstSectionTo(4, 5)), 20);
}

TEST(SectionNodeIndex, NodesOfEverySignAreFound) {
  constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();
  auto net = LoadNet(
      "0,10,2147483647,1,6,1\n"
      "10,20,-2147483648,1,6,2\n"
      "20,30,-1,1,6,3\n"
      "30,40,0,1,6,4\n"
      "40,50,1,-1,6,5\n"
      "50,60,-1,2147483647,6,6\n"
      "60,70,-1,-2147483648,6,7\n",
      "", "");
  const NetworkTables& t = net->tables;
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(6, highest)), 1);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(6, lowest)), 2);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(6, -1)), 3);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(6, 0)), 4);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(6, 1)), 5);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(6, -1, 1)), 6);
  EXPECT_EQ(MetersOf(t.FirstSectionFrom(6, -1, highest)), 3);
  EXPECT_EQ(t.FirstSectionFrom(6, -2), nullptr);
  EXPECT_EQ(MetersOf(t.FirstSectionTo(6, 1)), 1);
  EXPECT_EQ(MetersOf(t.FirstSectionTo(6, 1, highest)), 2);
  EXPECT_EQ(MetersOf(t.FirstSectionTo(6, lowest)), 7);
  EXPECT_EQ(MetersOf(t.FirstSectionTo(6, highest)), 6);
}

TEST(SectionNodeIndex, FirstSectionToANodeIsTheFirstInFileOrder) {
  auto net = LoadNet(
      "0,10,7,4,6,1\n"
      "10,20,3,4,6,2\n"
      "20,30,7,4,6,3\n"
      "30,40,9,4,6,4\n"
      "40,50,4,7,6,5\n",
      "", "");
  const NetworkTables& t = net->tables;
  EXPECT_EQ(MetersOf(t.FirstSectionTo(6, 4)), 1);
  EXPECT_EQ(MetersOf(t.FirstSectionTo(6, 4, 7)), 2);
  EXPECT_EQ(MetersOf(t.FirstSectionTo(6, 4, 3)), 1);
  EXPECT_EQ(MetersOf(t.FirstSectionTo(6, 7)), 5);
  EXPECT_EQ(t.FirstSectionTo(6, 7, 4), nullptr);
  EXPECT_EQ(t.FirstSectionTo(6, 3), nullptr);
}

TEST(SectionNodeIndex, SectionsAtMeasures0And100) {
  // -0 is 0 and 1e2 is 100; NaN and 100.0000001 are neither.
  auto net = LoadNet(
      "nan,100.0000001,1,2,7,1\n"
      "5,1e2,2,3,7,2\n"
      "-0,90,3,4,7,4\n"
      "0,80,4,5,7,8\n"
      "6,100,5,6,7,16\n"
      "1,99,1,2,8,1\n",
      "", "");
  const NetworkTables& t = net->tables;
  EXPECT_EQ(MetersOf(t.FirstSectionWithFMeas0(7)), 4);
  EXPECT_EQ(MetersOf(t.FirstSectionWithTMeas100(7)), 2);
  EXPECT_EQ(t.FirstSectionWithFMeas0(8), nullptr);
  EXPECT_EQ(t.FirstSectionWithTMeas100(8), nullptr);
  EXPECT_EQ(t.FirstSectionWithFMeas0(9), nullptr);
}

TEST(SectionNodeIndex, MetersBelowAMeasure) {
  // F_meas NaN (1 m), 5 (2 m), -0 (4 m), 0 (8 m), 6 (16 m), 5 again (32 m).
  auto net = LoadNet(
      "nan,100,1,2,7,1\n"
      "5,100,2,3,7,2\n"
      "-0,90,3,4,7,4\n"
      "0,80,4,5,7,8\n"
      "6,100,5,6,7,16\n"
      "5,50,6,7,7,32\n"
      "0,100,1,2,8,1000\n",
      "", "");
  const NetworkTables& t = net->tables;
  constexpr double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(t.MetersBelow(7, 0.0), 0);
  EXPECT_EQ(t.MetersBelow(7, -0.0), 0);
  EXPECT_EQ(t.MetersBelow(7, 1.0), 12);
  EXPECT_EQ(t.MetersBelow(7, 5.0), 12);
  EXPECT_EQ(t.MetersBelow(7, 5.5), 46);
  EXPECT_EQ(t.MetersBelow(7, 100.0), 62);
  EXPECT_EQ(t.MetersBelow(7, inf), 62);
  EXPECT_EQ(t.MetersBelow(7, -inf), 0);
  EXPECT_EQ(t.MetersBelow(7, NAN), 0);
  EXPECT_EQ(t.MetersBelow(8, 0.0), 0);
  EXPECT_EQ(t.MetersBelow(8, 0.5), 1000);
  EXPECT_EQ(t.MetersBelow(9, 100.0), 0);
}

TEST(SectionNodeIndex, BranchedEntryPassesSectionsBackToTheNodeJustLeft) {
  // Reach 1 ends at node 5. Reach 2: 5 -> 6 is a branch piece; of the three
  // sections from 6, the first two lead back to 5, so 6 -> 7 comes next, and
  // 7 -> 8 is in the main range: from 100 down to 0 over the sections below
  // 100 (70 and 1000 m; the NaN one is not below).
  // Reach 3: 5 -> 6, then nothing starts at 6; of the sections ending at 6
  // the first comes from 5, the node just left, so 9 -> 6 is taken against
  // its flow; then nothing starts at 9 either, and 11 -> 9 is in the main range.
  auto net = LoadNet(
      "0,100,4,5,1,100\n"
      "130,150,5,6,2,10\n"
      "110,130,6,5,2,20\n"
      "115,125,6,5,2,25\n"
      "100,110,6,7,2,30\n"
      "0,100,7,8,2,70\n"
      "50,60,20,21,2,1000\n"
      "nan,105,30,31,2,5000\n"
      "130,150,5,6,3,10\n"
      "105,120,9,6,3,50\n"
      "0,100,11,9,3,70\n",
      "", "");
  SpecialCaseList along;
  std::int16_t alongFallback = 0;
  RecordBranchedEntry(net->tables, along, 1, 2, alongFallback);
  ASSERT_EQ(along.entries().size(), 3u);
  EXPECT_EQ(along[0].f_meas, 150.0);
  EXPECT_EQ(along[0].t_meas, 130.0);
  EXPECT_EQ(along[1].f_meas, 110.0);
  EXPECT_EQ(along[1].t_meas, 100.0);
  EXPECT_EQ(along[1].meters, 30.0);
  EXPECT_EQ(along[2].f_meas, 100.0);
  EXPECT_EQ(along[2].t_meas, 0.0);
  EXPECT_EQ(along[2].meters, 1070.0);
  EXPECT_EQ(alongFallback, 0);

  SpecialCaseList against;
  std::int16_t againstFallback = 0;
  RecordBranchedEntry(net->tables, against, 1, 3, againstFallback);
  ASSERT_EQ(against.entries().size(), 3u);
  EXPECT_EQ(against[0].f_meas, 150.0);
  EXPECT_EQ(against[1].f_meas, 120.0);
  EXPECT_EQ(against[1].t_meas, 105.0);
  EXPECT_EQ(against[1].meters, 50.0);
  EXPECT_EQ(against[2].f_meas, 100.0);
  EXPECT_EQ(against[2].t_meas, 0.0);
  EXPECT_EQ(against[2].meters, 70.0);
  EXPECT_EQ(againstFallback, 1);
}

}  // namespace
}  // namespace rill
