// Which start reaches block a navigation, and the coastmain test.
#include "navigation/start_rules.h"

#include <gtest/gtest.h>

#include "navigation/request.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

struct Rule {
  std::int16_t branched;
  std::int16_t divergent;
  std::int16_t mode;
  const char* direction;
  std::int32_t navType;
  double measure;
  bool blocked;
  double measureAfter;
};

TEST(StartRules, EveryRowOfTheTable) {
  const Rule rules[] = {
      // Branched 1, mode 0, down, divergent: blocked above 100 or for the network types.
      {1, 1, 0, "D", 1, 100.0, false, 100.0},
      {1, 1, 0, "D", 1, 100.5, true, 100.5},
      {1, 1, 0, "D", 3, 50.0, false, 50.0},
      {1, 1, 0, "D", 5, 50.0, false, 50.0},
      {1, 1, 0, "D", 2, 50.0, true, 50.0},
      {1, 1, 0, "D", 4, 0.0, true, 0.0},
      // Branched 1, mode 0, down, not divergent: runs.
      {1, 0, 0, "D", 2, 150.0, false, 150.0},
      {1, 0, 0, "D", 1, 150.0, false, 150.0},
      // Branched 1, mode 0, up: above 100, or network types away from 0.
      {1, 0, 0, "U", 1, 100.5, true, 100.5},
      {1, 1, 0, "U", 1, 100.0, false, 100.0},
      {1, 0, 0, "U", 4, 0.0, false, 0.0},
      {1, 0, 0, "U", 4, 0.5, true, 0.5},
      {1, 0, 0, "U", 2, 0.0, false, 0.0},
      {1, 0, 0, "U", 2, 50.0, true, 50.0},
      {1, 0, 0, "U", 3, 50.0, false, 50.0},
      // Branched 2, mode 0: up blocked; down blocked when divergent.
      {2, 0, 0, "U", 1, 150.0, true, 150.0},
      {2, 1, 0, "D", 1, 150.0, true, 150.0},
      {2, 0, 0, "D", 1, 150.0, false, 150.0},
      // Branched 2, mode 1, down: runs from 200.
      {2, 1, 1, "D", 1, 150.0, false, 200.0},
      {2, 0, 1, "D", 4, 120.0, false, 200.0},
      // Everything else runs unchanged.
      {2, 0, 1, "U", 1, 150.0, false, 150.0},
      {1, 1, 1, "D", 2, 150.0, false, 150.0},
      {1, 0, 1, "U", 4, 50.0, false, 50.0},
      {0, 1, 0, "D", 2, 150.0, false, 150.0},
      {0, 0, 0, "U", 4, 150.0, false, 150.0},
      {2, 0, 2, "U", 1, 150.0, false, 150.0},  // mode 2 matches no row
      {2, 1, -1, "D", 1, 150.0, false, 150.0},
      {2, 0, 0, "X", 1, 150.0, false, 150.0},  // nor does a direction other than U and D
      {1, 1, 0, "d", 2, 150.0, false, 150.0},
  };
  for (const Rule& r : rules) {
    ReachRecord start;
    start.Branched = r.branched;
    start.Divergent = r.divergent;
    double measure = r.measure;
    EXPECT_EQ(
        StartIsBlocked(start, NavKindOf(r.navType), ReadDirection(r.direction), StartReachModeOf(r.mode), measure),
        r.blocked)
        << "Branched " << r.branched << " Divergent " << r.divergent << " mode " << r.mode << " " << r.direction
        << " type " << r.navType << " at " << r.measure;
    EXPECT_EQ(measure, r.measureAfter) << "Branched " << r.branched << " mode " << r.mode;
  }
}

TEST(StartRules, CoastmainIsDecidedByTheLastRowNamingTheReach) {
  auto net = testing::LoadNet("",
                              "1,10,20,0,714,0\n"
                              "2,30,10,0,709,0\n"  // 10 named last by a 709 row
                              "3,40,50,0,709,0\n"
                              "4,60,40,0,714,1\n"  // 40 named last (as Com_id2) by a 714 row
                              "5,70,80,0,710,0\n"  // stored as 709: not a coast row
                              "6,90,90,0,714,0\n",
                              "");
  const NetworkTables& t = net->tables;
  EXPECT_FALSE(TestCoastmain(t, 10));
  EXPECT_TRUE(TestCoastmain(t, 20));
  EXPECT_FALSE(TestCoastmain(t, 30));
  EXPECT_TRUE(TestCoastmain(t, 40));
  EXPECT_FALSE(TestCoastmain(t, 50));
  EXPECT_TRUE(TestCoastmain(t, 60));
  EXPECT_FALSE(TestCoastmain(t, 70));
  EXPECT_FALSE(TestCoastmain(t, 80));
  EXPECT_TRUE(TestCoastmain(t, 90));
  EXPECT_FALSE(TestCoastmain(t, 11));  // named by no row

  // The order of the file decides, not the order of the keys.
  auto swapped = testing::LoadNet("", "1,10,20,0,709,0\n2,5,10,0,714,0\n3,10,30,0,709,0\n", "");
  EXPECT_FALSE(TestCoastmain(swapped->tables, 10));
  auto later = testing::LoadNet("", "1,10,20,0,709,0\n3,10,30,0,709,0\n2,5,10,0,714,0\n", "");
  EXPECT_TRUE(TestCoastmain(later->tables, 10));
}

}  // namespace
}  // namespace rill
