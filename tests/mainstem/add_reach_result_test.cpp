// The reach result builder: measures, lengths, limits, end points, special
// pieces, status flags and units of the records it appends.
#include <gtest/gtest.h>

#include <cmath>

#include "mainstem/mainstem.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::LoadNet;
using testing::Pass;

// Reaches: 1 A, 2 B, 3 C ordinary, 1000 m each; 4 LK a lake (100-200);
// 5 BR branched, 2000 m, whose main range (sections inside 0-100) is 600 + 400 m;
// 6 MI 1609 m; 7 Z 0 m; 8 DV a divergent lake; 9 DB a divergent branched reach.
const char* kSections =
    "100,150,1,2,4,500\n150,200,3,1,4,500\n"
    "0,60,10,11,5,600\n60,100,12,10,5,400\n80,120,13,12,5,50\n100,140,14,13,5,300\n"
    "100,200,20,21,8,100\n"
    "0,100,30,31,9,100\n100,150,32,30,9,100\n";
const char* kFlows = "1,8,1,0,709,0\n2,8,2,0,709,0\n3,9,1,0,709,0\n4,9,2,0,709,0\n";
const char* kReaches =
    "1,A,20080101,1,1000,11\n2,B,20080101,1,1000,12\n3,C,20080101,1,1000,13\n"
    "4,LK,20080101,1,1000,14\n5,BR,20080101,1,2000,15\n6,MI,20080101,1,1609,16\n"
    "7,Z,20080101,1,0,17\n8,DV,20080101,1,1000,18\n9,DB,20080101,1,1000,19\n";

class Builder : public ::testing::Test {
 protected:
  void SetUp() override {
    net_ = LoadNet(kSections, kFlows, kReaches);
    ASSERT_EQ(net_->tables.reaches().size(), 9u);
    ASSERT_EQ(net_->tables.ReachByComId(4)->Branched, 2);
    ASSERT_EQ(net_->tables.ReachByComId(5)->Branched, 1);
    ASSERT_EQ(net_->tables.ReachByComId(8)->Divergent, 1);
    ASSERT_EQ(net_->tables.ReachByComId(9)->Divergent, 1);
  }
  std::unique_ptr<Pass> NewPass() { return std::make_unique<Pass>(net_->tables); }
  static PassageRequest Request(std::int32_t type, std::string_view startCode, double start, std::string_view direction,
                                double limit = -1.0, std::string_view units = "") {
    return testing::LegacyPassage(type, startCode, start, "", 0.0, direction, limit, units);
  }
  static PassageRequest ToEnd(std::string_view startCode, double start, std::string_view endCode, double end,
                              std::string_view direction = "D") {
    return testing::LegacyPassage(5, startCode, start, endCode, end, direction, -1.0, "");
  }
  std::unique_ptr<testing::LoadedNet> net_;
};

struct Rec {
  std::int32_t comId;
  double from;
  double to;
  double travel;
  double length;
};

void ExpectRecords(const NavState& state, std::initializer_list<Rec> want) {
  const auto& got = state.results.records();
  ASSERT_EQ(got.size(), want.size());
  std::size_t i = 0;
  for (const Rec& w : want) {
    EXPECT_EQ(got[i].Com_id, w.comId) << "record " << i;
    EXPECT_EQ(got[i].FromMeasure, w.from) << "record " << i;
    EXPECT_EQ(got[i].ToMeasure, w.to) << "record " << i;
    EXPECT_EQ(got[i].TravelDistance, w.travel) << "record " << i;
    EXPECT_EQ(got[i].RchLength, w.length) << "record " << i;
    ++i;
  }
}

TEST_F(Builder, StartReachIsOutputFromTheStartMeasure) {
  auto up = NewPass();
  EXPECT_EQ(AddReachResult(up->ctx(), Request(1, "A", 30.0, "U"), 1), 1);
  ExpectRecords(up->state(), {{1, 30.0, 100.0, 700.0, 700.0}});  // (100 - 30) / 100 * 1000
  EXPECT_EQ(
      up->Log(),
      "Output Com_id: 1, Rch_code: A, From Measure:      30.00, To Measure:     100.00, TravelDistance:            "
      "700.00000, Reach Length:  700.00000\n");
  EXPECT_EQ(up->state().dCumTravelDistance, 700.0);

  auto down = NewPass();
  EXPECT_EQ(AddReachResult(down->ctx(), Request(1, "A", 30.0, "D"), 1), 1);
  ExpectRecords(down->state(), {{1, 30.0, 0.0, 300.0, 300.0}});
  EXPECT_EQ(
      down->Log(),
      "Output Com_id: 1, Rch_code: A, From Measure:      30.00, To Measure:       0.00, TravelDistance:            "
      "300.00000, Reach Length:  300.00000\n");

  // -1.0 and anything below it hold no start point; another reach's code neither.
  auto whole = NewPass();
  AddReachResult(whole->ctx(), Request(1, "A", -1.0, "U"), 1);
  AddReachResult(whole->ctx(), Request(1, "B", -5.0, "D"), 2);
  AddReachResult(whole->ctx(), Request(1, "A", 30.0, "D"), 3);
  ExpectRecords(whole->state(),
                {{1, 0.0, 100.0, 1000.0, 1000.0}, {2, 100.0, 0.0, 2000.0, 1000.0}, {3, 100.0, 0.0, 3000.0, 1000.0}});
  EXPECT_TRUE(whole->state().results.IsInResults(1));
  EXPECT_TRUE(whole->state().results.IsInResults(3));
  EXPECT_FALSE(whole->state().results.IsInResults(4));

  // A Com_id missing from the reach table: no record, no flag, stop.
  auto unknown = NewPass();
  EXPECT_EQ(AddReachResult(unknown->ctx(), Request(1, "A", 30.0, "D"), 77), 0);
  EXPECT_TRUE(unknown->state().results.records().empty());
  EXPECT_EQ(unknown->Log(), "");
}

TEST_F(Builder, LakeAndBranchedReachesUseTheirOwnMeasureSpans) {
  auto p = NewPass();
  // Lake, start 40 going up: raised to the lake's bottom, 100 -> 200 over 1000 m.
  AddReachResult(p->ctx(), Request(1, "LK", 40.0, "U"), 4);
  // Branched going up with type 1: 0 -> 100 over its main range, 600 + 400 m
  // (80-120 and 100-140 lie outside it).
  AddReachResult(p->ctx(), Request(1, "LK", 40.0, "U"), 5);
  ExpectRecords(p->state(), {{4, 100.0, 200.0, 1000.0, 1000.0}, {5, 0.0, 100.0, 2000.0, 1000.0}});

  auto three = NewPass();
  AddReachResult(three->ctx(), Request(3, "X", 0.0, "U", 1e9), 5);
  ExpectRecords(three->state(), {{5, 0.0, 100.0, 1000.0, 1000.0}});

  // Down, a lake passage still ends at 0: from 150, 150 / 100 * 1000; whole, 200 -> 0.
  auto down = NewPass();
  AddReachResult(down->ctx(), Request(1, "LK", 150.0, "D"), 4);
  AddReachResult(down->ctx(), Request(1, "X", 0.0, "D"), 5);  // branched down: 100 -> 0 over 2000 m
  ExpectRecords(down->state(), {{4, 150.0, 0.0, 1500.0, 1500.0}, {5, 100.0, 0.0, 3500.0, 2000.0}});

  // The other types pass a branched reach up to 200, over the reach's length.
  auto network = NewPass();
  AddReachResult(network->ctx(), Request(2, "X", 0.0, "U"), 5);
  ExpectRecords(network->state(), {{5, 0.0, 200.0, 4000.0, 4000.0}});
  auto toEnd = NewPass();
  AddReachResult(toEnd->ctx(), testing::LegacyPassage(5, "X", 0.0, "Y", 0.0, "U", -1.0, ""), 5);
  ExpectRecords(toEnd->state(), {{5, 0.0, 200.0, 4000.0, 4000.0}});
}

TEST_F(Builder, PointToPointStopsAtTheEndMeasure) {
  auto same = NewPass();
  EXPECT_EQ(AddReachResult(same->ctx(), ToEnd("A", 80.0, "A", 30.0), 1), 0);
  ExpectRecords(same->state(), {{1, 80.0, 30.0, 500.0, 500.0}});  // |80 - 30| / 100 * 1000

  auto chain = NewPass();
  EXPECT_EQ(AddReachResult(chain->ctx(), ToEnd("A", 20.0, "B", 40.0), 1), 1);
  EXPECT_EQ(AddReachResult(chain->ctx(), ToEnd("A", 20.0, "B", 40.0), 2), 0);
  ExpectRecords(chain->state(), {{1, 20.0, 0.0, 200.0, 200.0}, {2, 100.0, 40.0, 800.0, 600.0}});

  // An end measure of exactly -1.0 is no end at all.
  auto none = NewPass();
  EXPECT_EQ(AddReachResult(none->ctx(), ToEnd("A", 20.0, "B", -1.0), 2), 1);
  ExpectRecords(none->state(), {{2, 100.0, 0.0, 1000.0, 1000.0}});
}

TEST_F(Builder, DistanceLimitCutsThePassageWhereItFalls) {
  // 1500 m: A whole (1000), B cut after 500 m at 100 - 500 / 1000 * 100 = 50,
  // C not output and the walk told to stop.
  auto cut = NewPass();
  EXPECT_EQ(AddReachResult(cut->ctx(), Request(3, "A", -1.0, "D", 1500.0), 1), 1);
  EXPECT_EQ(AddReachResult(cut->ctx(), Request(3, "A", -1.0, "D", 1500.0), 2), 1);
  EXPECT_EQ(cut->state().dCumTravelDistance, kLimitMet);
  EXPECT_EQ(AddReachResult(cut->ctx(), Request(3, "A", -1.0, "D", 1500.0), 3), 0);
  ExpectRecords(cut->state(), {{1, 100.0, 0.0, 1000.0, 1000.0}, {2, 100.0, 50.0, 1500.0, 500.0}});

  // Met exactly at the end of A: B still appended, without extent.
  auto exact = NewPass();
  EXPECT_EQ(AddReachResult(exact->ctx(), Request(3, "A", -1.0, "D", 1000.0), 1), 1);
  EXPECT_EQ(AddReachResult(exact->ctx(), Request(3, "A", -1.0, "D", 1000.0), 2), 1);
  EXPECT_EQ(AddReachResult(exact->ctx(), Request(3, "A", -1.0, "D", 1000.0), 3), 0);
  ExpectRecords(exact->state(), {{1, 100.0, 0.0, 1000.0, 1000.0}, {2, 100.0, 100.0, 1000.0, 0.0}});

  // A limit of 0: the start reach is a record of length 0 at the start measure.
  auto zero = NewPass();
  EXPECT_EQ(AddReachResult(zero->ctx(), Request(3, "A", 30.0, "D", 0.0), 1), 1);
  EXPECT_EQ(AddReachResult(zero->ctx(), Request(3, "A", 30.0, "D", 0.0), 2), 0);
  ExpectRecords(zero->state(), {{1, 30.0, 30.0, 0.0, 0.0}});

  // Going up from 30 with 250 m: 30 + 250 / 1000 * 100 = 55.
  auto up = NewPass();
  AddReachResult(up->ctx(), Request(3, "A", 30.0, "U", 250.0), 1);
  ExpectRecords(up->state(), {{1, 30.0, 55.0, 250.0, 250.0}});

  // Type 4 uses the limit too; types 1, 2 and 5 ignore it.
  auto four = NewPass();
  AddReachResult(four->ctx(), Request(4, "A", -1.0, "D", 400.0), 1);
  AddReachResult(four->ctx(), Request(1, "A", -1.0, "D", 400.0), 2);
  ExpectRecords(four->state(), {{1, 100.0, 60.0, 400.0, 400.0}, {2, 100.0, 0.0, -99999999998999.0, 1000.0}});
}

TEST_F(Builder, FlagsAreRaisedAlsoAfterTheLimit) {
  auto p = NewPass();
  p->state().dCumTravelDistance = kLimitMet;
  EXPECT_EQ(AddReachResult(p->ctx(), Request(3, "A", -1.0, "U", 10.0), 4), 0);
  EXPECT_EQ(p->state().lakeNoMainpathSeen, 1);
  EXPECT_EQ(AddReachResult(p->ctx(), Request(4, "A", -1.0, "D", 10.0), 9), 0);
  EXPECT_EQ(p->state().divergenceSeen, 1);
  EXPECT_TRUE(p->state().results.records().empty());

  // Which types see a lake going up, and a divergence going down.
  struct Case {
    std::int32_t type;
    const char* direction;
    std::int32_t comId;
    int lake;
    int divergence;
  } cases[] = {
      {1, "U", 4, 1, 0}, {1, "D", 4, 0, 0}, {2, "U", 4, 0, 0}, {5, "U", 4, 0, 0},
      {1, "D", 9, 0, 0},  // branched divergent: only for types 2, 4 and 5
      {1, "D", 8, 0, 1},  // lake divergent: for every type
      {3, "D", 8, 0, 1}, {2, "D", 9, 0, 1}, {5, "D", 9, 0, 1}, {2, "U", 9, 0, 0},
  };
  for (const Case& c : cases) {
    auto q = NewPass();
    AddReachResult(q->ctx(), Request(c.type, "A", -1.0, c.direction, 1e9), c.comId);
    EXPECT_EQ(q->state().lakeNoMainpathSeen, c.lake) << c.type << c.direction << c.comId;
    EXPECT_EQ(q->state().divergenceSeen, c.divergence) << c.type << c.direction << c.comId;
  }

  // Type 4 going up through a lake: the flag only when the limit cuts it short of 200.
  for (double limit : {5000.0, 1000.0, 500.0}) {
    auto q = NewPass();
    AddReachResult(q->ctx(), Request(4, "A", -1.0, "U", limit), 4);
    EXPECT_EQ(q->state().lakeNoMainpathSeen, limit == 500.0 ? 1 : 0) << limit;
  }
}

TEST_F(Builder, SpecialPiecesReplaceTheWholeReach) {
  auto p = NewPass();
  SpecialCaseList& list = p->state().specials;
  list.AppendSpecialCase({2, 100.0, 60.0, 400.0});
  list.AppendSpecialCase({2, 60.0, 0.0, 600.0});
  list.AppendSpecialCase({1, 50.0, 0.0, 500.0});
  list.AppendSpecialCase({2, 10.0, 0.0, 5.0});  // after another reach's entry: never used
  EXPECT_EQ(AddReachResult(p->ctx(), Request(1, "B", 30.0, "D"), 2), 1);
  ExpectRecords(p->state(), {{2, 100.0, 60.0, 400.0, 400.0}, {2, 60.0, 0.0, 1000.0, 600.0}});

  // Cut by the limit inside the second piece: 700 - 400 = 300 m of its 600,
  // 60 - (60 - 0) * 300 / 600 = 30.
  auto cut = NewPass();
  cut->state().specials.AppendSpecialCase({2, 100.0, 60.0, 400.0});
  cut->state().specials.AppendSpecialCase({2, 60.0, 0.0, 600.0});
  cut->state().specials.AppendSpecialCase({2, 0.0, -10.0, 100.0});
  EXPECT_EQ(AddReachResult(cut->ctx(), Request(3, "B", 30.0, "D", 700.0), 2), 1);
  ExpectRecords(cut->state(), {{2, 100.0, 60.0, 400.0, 400.0}, {2, 60.0, 30.0, 700.0, 300.0}});

  // After the limit: no record, but the walk may go on.
  auto after = NewPass();
  after->state().dCumTravelDistance = kLimitMet;
  after->state().specials.AppendSpecialCase({2, 60.0, 0.0, 600.0});
  EXPECT_EQ(AddReachResult(after->ctx(), Request(3, "B", 30.0, "D", 700.0), 2), 1);
  EXPECT_TRUE(after->state().results.records().empty());

  // The end point inside a piece: (60 - 40) * 600 / (60 - 0) = 200 m, then stop.
  auto end = NewPass();
  end->state().specials.AppendSpecialCase({2, 100.0, 60.0, 400.0});
  end->state().specials.AppendSpecialCase({2, 60.0, 0.0, 600.0});
  end->state().specials.AppendSpecialCase({2, 0.0, -10.0, 100.0});
  EXPECT_EQ(AddReachResult(end->ctx(), ToEnd("A", 0.0, "B", 40.0), 2), 0);
  ExpectRecords(end->state(), {{2, 100.0, 60.0, 400.0, 400.0}, {2, 60.0, 40.0, 600.0, 200.0}});

  // Going up: a piece 30 -> 100 of 700 m ends at 80 after (30 - 80) * 700 / (30 - 100) = 500.
  auto up = NewPass();
  up->state().specials.AppendSpecialCase({2, 30.0, 100.0, 700.0});
  EXPECT_EQ(AddReachResult(up->ctx(), ToEnd("A", 0.0, "B", 80.0, "U"), 2), 0);
  ExpectRecords(up->state(), {{2, 30.0, 80.0, 500.0, 500.0}});
}

TEST_F(Builder, UnitsConvertTheStoredDistancesOnly) {
  auto mi = NewPass();
  AddReachResult(mi->ctx(), Request(1, "A", -1.0, "D", -1.0, "MI"), 6);
  ExpectRecords(mi->state(), {{6, 100.0, 0.0, 1.0, 1.0}});  // 1609 / 1609.0
  EXPECT_EQ(mi->state().dCumTravelDistance, 1609.0);
  EXPECT_EQ(mi->Log(),
            "Output Com_id: 6, Rch_code: MI, From Measure:     100.00, To Measure:       0.00, TravelDistance:        "
            "      1.00000, Reach Length:    1.00000\n");

  auto lower = NewPass();
  AddReachResult(lower->ctx(), Request(1, "A", -1.0, "D", -1.0, "mi"), 6);
  ExpectRecords(lower->state(), {{6, 100.0, 0.0, 1609.0, 1609.0}});

  auto ft = NewPass();
  AddReachResult(ft->ctx(), Request(1, "A", -1.0, "D", -1.0, "FT"), 1);
  AddReachResult(ft->ctx(), Request(1, "A", -1.0, "D", -1.0, "FT"), 2);
  ExpectRecords(ft->state(),
                {{1, 100.0, 0.0, 1000.0 / 0.3048, 1000.0 / 0.3048}, {2, 100.0, 0.0, 2000.0 / 0.3048, 1000.0 / 0.3048}});
}

TEST_F(Builder, DegeneratePassagesEndWhereTheyBegin) {
  // A negative limit (never converted) cuts even a reach of 0 m: it ends at its
  // start, with length 0 and the limit as travel.
  auto empty = NewPass();
  EXPECT_EQ(AddReachResult(empty->ctx(), Request(3, "Z", 30.0, "D", -5.0), 7), 1);
  ExpectRecords(empty->state(), {{7, 30.0, 30.0, -5.0, 0.0}});

  auto piece = NewPass();
  piece->state().specials.AppendSpecialCase({7, 50.0, 0.0, 0.0});
  EXPECT_EQ(AddReachResult(piece->ctx(), Request(3, "Z", 30.0, "D", -5.0), 7), 1);
  ExpectRecords(piece->state(), {{7, 50.0, 50.0, -5.0, 0.0}});

  // End reach pieces whose From meets To in the formula.
  auto flat = NewPass();
  flat->state().specials.AppendSpecialCase({2, 40.0, 40.0, 0.0});
  EXPECT_EQ(AddReachResult(flat->ctx(), ToEnd("A", 0.0, "B", 40.0), 2), 0);
  ExpectRecords(flat->state(), {{2, 40.0, 40.0, 0.0, 0.0}});

  auto fromEnd = NewPass();
  fromEnd->state().specials.AppendSpecialCase({2, 40.0, 100.0, 600.0});
  EXPECT_EQ(AddReachResult(fromEnd->ctx(), ToEnd("A", 0.0, "B", 40.0, "U"), 2), 0);
  ExpectRecords(fromEnd->state(), {{2, 40.0, 40.0, 0.0, 0.0}});
  ASSERT_EQ(fromEnd->state().results.records().size(), 1u);
  EXPECT_FALSE(std::signbit(fromEnd->state().results.records()[0].RchLength));
  EXPECT_EQ(fromEnd->Log(),
            "Output Com_id: 2, Rch_code: B, From Measure:      40.00, To Measure:      40.00, TravelDistance:          "
            "    0.00000, Reach Length:    0.00000\n");
}

TEST_F(Builder, TheListGrowsAndKeepsItsOrder) {
  auto p = NewPass();
  for (int i = 0; i < 250; ++i) AddReachResult(p->ctx(), Request(1, "A", -1.0, "D"), 1 + i % 3);
  const auto& records = p->state().results.records();
  ASSERT_EQ(records.size(), 250u);
  EXPECT_EQ(records[0].Com_id, 1);
  EXPECT_EQ(records[249].Com_id, 1);  // 249 % 3 = 0
  EXPECT_EQ(records[249].TravelDistance, 250000.0);
  EXPECT_EQ(p->state().results.last(), 249);
}

}  // namespace
}  // namespace rill
