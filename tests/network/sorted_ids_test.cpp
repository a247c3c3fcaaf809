// Com_ids found by rank, and the ids and reaches a load assigns by sorting
// rather than by hashing: every answer as the file-ordered tables give it.
#include "network/sorted_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::LoadNet;

// Every id of the list is found at its rank; a neighbour not in it is not.
void ExpectRanks(const std::vector<std::int32_t>& ids) {
  SortedIds index;
  index.Assign(ids);
  for (std::size_t rank = 0; rank < ids.size(); ++rank) {
    ASSERT_EQ(index.Find(ids[rank]), static_cast<std::int32_t>(rank)) << ids[rank];
    for (std::int32_t near : {ids[rank] - (ids[rank] > INT_MIN), ids[rank] + (ids[rank] < INT_MAX)})
      ASSERT_EQ(index.Find(near) >= 0, std::binary_search(ids.begin(), ids.end(), near)) << near;
  }
}

TEST(SortedIds, EveryIdAtItsRankWhateverTheirSpread) {
  std::vector<std::vector<std::int32_t>> cases = {
      {},
      {INT_MIN},
      {INT_MIN, -1, 0, 1, INT_MAX},                // the widest range, signs crossing
      {0, 1000000, 1000001, 1000002, 2000000000},  // a cluster and two far outliers
  };
  // Most ids in a narrow or a wide band and a few anywhere: buckets empty,
  // single and crowded.
  std::mt19937 random(11);
  for (std::uint32_t spread : {1u, 3u, 1000u, 1u << 30}) {
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 5000; ++i) ids.push_back(static_cast<std::int32_t>(random() % spread * 2));
    for (int i = 0; i < 50; ++i) ids.push_back(static_cast<std::int32_t>(random()));
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    cases.push_back(ids);
  }
  for (const std::vector<std::int32_t>& ids : cases) ASSERT_NO_FATAL_FAILURE(ExpectRanks(ids)) << ids.size();
  EXPECT_EQ(SortedIds().Find(0), -1);
}

// Loads where repeated Com_ids stand apart and out of order, and where ids
// come first from the reach table, below every id of the sections and rows
// (so that the ids already given to the rows are renumbered).
TEST(SortedLoad, FirstInFileOrderWinsAndIdsStayDense) {
  struct Case {
    const char* what;
    const char* sections;
    const char* flows;
    const char* reaches;
    std::vector<std::int32_t> keptMeters;  // Meters of the kept reaches, in file order
  };
  const std::vector<Case> cases = {
      // clang-format off
      {"repeats later, each first one kept", "0,100,1,2,30,9\n", "1,30,20,0,709,0\n",
       "30,A,1,1,1,1\n20,B,1,1,2,1\n30,C,1,1,3,1\n10,D,1,1,4,1\n20,E,1,1,5,1\n30,F,1,1,6,1\n", {1, 2, 4}},
      {"ids only in the reach table, below all others", "0,100,1,2,50,9\n", "1,50,60,0,709,0\n2,60,70,0,709,0\n",
       "-9,A,1,1,1,1\n60,B,1,1,2,1\n-4,C,1,1,3,1\n-9,D,1,1,4,1\n55,E,1,1,5,1\n", {1, 2, 3, 5}},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto net = LoadNet(c.sections, c.flows, c.reaches);
    const NetworkTables& t = net->tables;
    std::vector<std::int32_t> meters;
    for (const ReachRecord& r : t.reaches()) meters.push_back(r.Meters);
    EXPECT_EQ(meters, c.keptMeters);
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(meters.size()); ++i) {
      const std::int32_t comId = t.reaches()[static_cast<std::size_t>(i)].Com_id;
      EXPECT_TRUE(t.FindReachByComId(comId) == i && t.ReachAt(t.IdOf(comId)) == i) << comId;
    }
    for (const FlowRecord& f : t.flows()) EXPECT_TRUE(f.id1 == t.IdOf(f.Com_id1) && f.id2 == t.IdOf(f.Com_id2));
  }
}

TEST(SortedLoad, RepeatedSectionsAreFoundAmongTheirReachAlone) {
  // Equal measures on one reach, apart in the file and as -0.0 and 0.0: the
  // first kept. NaN measures repeat nothing. Other reaches' equal measures stay.
  auto net = LoadNet(
      "0,50,1,2,7,1\n0,100,1,2,8,2\n50,100,2,3,7,3\n-0,50,1,2,7,4\nnan,50,1,2,7,5\nnan,50,1,2,7,6\n"
      "50,100,5,5,7,7\n0,100,1,2,8,8\n",
      "", "7,A,1,1,1,1\n8,B,1,1,1,1\n");
  std::vector<std::int32_t> meters;
  for (const SectionRecord& s : net->tables.sections()) meters.push_back(s.Meters);
  EXPECT_EQ(meters, (std::vector<std::int32_t>{1, 3, 5, 6, 2}));  // reach 7 in file order, then reach 8
}

}  // namespace
}  // namespace rill
