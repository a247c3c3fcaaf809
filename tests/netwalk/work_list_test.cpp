// The work list and the distance test of the network walk.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "netwalk/roid_list.h"
#include "netwalk/walk_state.h"
#include "test_network.h"

namespace rill::netwalk_testing {
namespace {

void Output(ResultList& results, std::int32_t comId) {
  ResultRecord r;
  r.Com_id = comId;
  results.Append(r);
}

TEST(RoidList, EntriesAreTakenInTheOrderTheyCame) {
  RoidList list;
  ResultList results;
  EXPECT_EQ(list.Append({7, 10.0, 0.0}), 0);
  EXPECT_EQ(list.Append({8, 20.0, 35.0}), 1);
  const RoidEntry* first = list.TakeNext(results);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Roid, 7);
  EXPECT_EQ(list.takePosition(), 0);
  const RoidEntry* second = list.TakeNext(results);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->Roid, 8);
  EXPECT_EQ(second->StartMeasure, 35.0);
  EXPECT_EQ(list.TakeNext(results), nullptr);
}

TEST(RoidList, ReachesAlreadyOutputAreSkipped) {
  RoidList list;
  ResultList results;
  for (std::int32_t id : {1, 2, 1, 3, 2}) list.Append({id, 0.0, 0.0});
  Output(results, 1);
  ASSERT_EQ(list.TakeNext(results)->Roid, 2);
  EXPECT_EQ(list.takePosition(), 1);
  Output(results, 2);
  ASSERT_EQ(list.TakeNext(results)->Roid, 3);
  EXPECT_EQ(list.takePosition(), 3);
  Output(results, 3);
  EXPECT_EQ(list.TakeNext(results), nullptr);
  EXPECT_GT(list.takePosition(), list.lastPosition());
}

TEST(RoidList, ManyEntriesKeepTheirPositions) {
  RoidList list;
  ResultList results;
  for (std::int32_t id = 0; id < 250; ++id) EXPECT_EQ(list.Append({id + 1, id * 1.0, 0.0}), id);
  for (std::int32_t id = 0; id < 250; ++id) {
    const RoidEntry* e = list.TakeNext(results);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Roid, id + 1);
    EXPECT_EQ(e->Distance, id * 1.0);
  }
}

// A walk's list appends while it takes, and drops what it passed: positions
// and order stay those of every entry ever appended, across many drops.
TEST(RoidList, PositionsOutliveTheEntriesPassed) {
  for (int appendsPerTake : {1, 3}) {
    RoidList list;
    ResultList results;
    std::int32_t appended = 1;
    list.Append({1, 0.0, 0.0});
    for (std::int32_t taken = 0; taken < 30000; ++taken) {
      const RoidEntry* e = list.TakeNext(results);
      ASSERT_TRUE(e != nullptr && e->Roid == taken + 1 && list.at(taken).Roid == taken + 1) << appendsPerTake;
      for (int k = 0; k < appendsPerTake && appended < 30000; ++k, ++appended)
        ASSERT_EQ(list.Append({appended + 1, 0.0, 0.0}), appended);
    }
    EXPECT_EQ(list.TakeNext(results), nullptr);
  }
}

TEST(WithinLimit, MinusOneExactlyAdmitsEveryDistance) {
  NetworkTables tables;
  NavState state;
  TextWriter log;
  NavContext ctx{tables, state, log};
  NetworkWalk walk(ctx, "U", -1.0);
  EXPECT_TRUE(walk.WithinLimit(1e300));
  EXPECT_TRUE(walk.WithinLimit(std::numeric_limits<double>::infinity()));

  for (double other : {std::nextafter(-1.0, 0.0), std::nextafter(-1.0, -2.0), -5.0}) {
    NetworkWalk limited(ctx, "U", other);
    EXPECT_FALSE(limited.WithinLimit(0.5)) << other;
    EXPECT_FALSE(limited.WithinLimit(-10.0)) << other;
  }
}

TEST(WithinLimit, DistanceMustStayBelowTheLimit) {
  NetworkTables tables;
  NavState state;
  TextWriter log;
  NavContext ctx{tables, state, log};
  NetworkWalk walk(ctx, "U", 5000.0);
  EXPECT_TRUE(walk.WithinLimit(4999.999));
  EXPECT_FALSE(walk.WithinLimit(5000.0));
  EXPECT_FALSE(walk.WithinLimit(std::nan("")));
  NetworkWalk none(ctx, "U", std::nan(""));
  EXPECT_FALSE(none.WithinLimit(1.0));
}

}  // namespace
}  // namespace rill::netwalk_testing
