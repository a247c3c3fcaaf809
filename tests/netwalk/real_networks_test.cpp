// Whole-network walks (no limit) over real river networks, compared with
// breadth-first traversals of the same flow table written here. On the
// networks without interior junctions the two bounds below coincide, so the
// walk must take in exactly the reaches the traversal finds.
//
// Where a walk and a plain traversal legitimately part:
// - Only Dir 709 rows lead downstream; Dir 714 (coast) rows only upstream,
//   and there not on the same level with the junction at the reach end.
//   Dir 712 rows and Com_id 0 lead nowhere; reaches missing from the reach
//   table are queued but never output nor walked on.
// - A reach entered inside is walked on only from that point: upstream, a
//   tributary joining a reach below the measure where a Dir 710 row entered
//   it is left out; downstream, a row with a positive Sequence leaving a
//   reach entered at an interior junction is followed only when that
//   Sequence is not above the entry measure. The walk outputs a reach once,
//   entered the first way it gets there, so which of several entries counts
//   depends on its visiting order; hence bounds rather than one set there.
// - coastmain (not set for these walks) and the row guard (never reached by
//   an ordinary walk: every walk here is checked for it) would cut the walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "network/table_loader.h"
#include "test_network.h"

namespace rill::netwalk_testing {
namespace {

NetworkTables LoadNetwork(const std::string& name) {
  NetworkTables tables;
  TextWriter discard;  // never opened: the load dump goes nowhere
  const std::string folder = std::string(RILL_DATA_DIR) + "/" + name + "/";
  EXPECT_TRUE(LoadNetworkTables(TablePathsFor(folder, ""), ReadWholeFile, discard, tables).ok());
  return tables;
}

using Set = std::set<std::int32_t>;

// The flow rows of each reach in file order, by the reach they leave and
// by the reach they enter.
struct Graph {
  explicit Graph(const NetworkTables& tables) {
    for (const FlowRecord& f : tables.flows()) {
      leaving[f.Com_id1].push_back(&f);
      entering[f.Com_id2].push_back(&f);
    }
    for (const ReachRecord& r : tables.reaches()) known.insert(r.Com_id);
  }
  std::unordered_map<std::int32_t, std::vector<const FlowRecord*>> leaving;
  std::unordered_map<std::int32_t, std::vector<const FlowRecord*>> entering;
  std::unordered_set<std::int32_t> known;
};

const std::vector<const FlowRecord*>& RowsOf(
    const std::unordered_map<std::int32_t, std::vector<const FlowRecord*>>& map, std::int32_t reach) {
  static const std::vector<const FlowRecord*> none;
  auto it = map.find(reach);
  return it == map.end() ? none : it->second;
}

// What a walk must take in and what it may take in. A reach entered inside
// limits the rows followed from it, but which entry the walk meets first
// depends on its order; the bounds leave that open: the upper bound ignores
// the limits, the lower bound applies the strictest entry any route offers.
struct Bounds {
  Set lower;
  Set upper;
};

// Breadth-first from `start`; `follow` tells whether a row is followed, from
// the reach it is scanned for.
template <typename Follow>
Set Reachable(const Graph& g, std::int32_t start, bool upstream, Follow follow) {
  Set seen{start};
  std::deque<std::int32_t> queue{start};
  while (!queue.empty()) {
    const std::int32_t reach = queue.front();
    queue.pop_front();
    for (const FlowRecord* f : RowsOf(upstream ? g.entering : g.leaving, reach)) {
      const std::int32_t next = upstream ? f->Com_id1 : f->Com_id2;
      if (next == 0 || !g.known.count(next) || seen.count(next) || !follow(*f, reach)) continue;
      seen.insert(next);
      queue.push_back(next);
    }
  }
  return seen;
}

// Upstream from measure 0: Dir 709 and 714 rows, except 714 on the same
// level at the reach end. A tributary joining a reach below the measure
// where a Dir 710 row entered it is not on the way.
Bounds Ancestors(const Graph& g, std::int32_t start) {
  auto taken = [](const FlowRecord& f) {
    if (f.Dir != 709 && f.Dir != 714) return false;
    if (f.Sequence > 0.0) return true;
    return f.Sequence == 0.0 && (f.DLevel != 0 || f.Dir == 709);
  };
  Bounds b;
  b.upper = Reachable(g, start, true, [&](const FlowRecord& f, std::int32_t) { return taken(f); });
  std::unordered_map<std::int32_t, double> highestEntry;
  for (std::int32_t reach : b.upper)
    for (const FlowRecord* f : RowsOf(g.leaving, reach))
      if (f->Orig710 != 0 && f->Sequence > 0.0 && b.upper.count(f->Com_id2)) {
        double& m = highestEntry.emplace(reach, f->Sequence).first->second;
        m = std::max(m, f->Sequence);
      }
  b.lower = Reachable(g, start, true, [&](const FlowRecord& f, std::int32_t reach) {
    if (!taken(f)) return false;
    auto entry = highestEntry.find(reach);
    return !(f.Sequence > 0.0 && f.Orig710 == 0 && entry != highestEntry.end() && f.Sequence < entry->second);
  });
  return b;
}

// Downstream from measure 100: Dir 709 rows. From a reach entered at an
// interior junction (known from the first row of the entering reach's
// block), a row with a positive Sequence above that measure is not followed.
Bounds Descendants(const Graph& g, std::int32_t start) {
  auto taken = [](const FlowRecord& f) { return f.Dir == 709 && f.Sequence >= 0.0; };
  Bounds b;
  b.upper = Reachable(g, start, false, [&](const FlowRecord& f, std::int32_t) { return taken(f); });
  std::unordered_map<std::int32_t, double> lowestEntry;
  for (std::int32_t reach : b.upper) {
    const auto& rows = RowsOf(g.leaving, reach);
    if (rows.empty()) continue;
    const FlowRecord& first = *rows.front();
    if (first.Sequence > 0.0 && first.Orig710 != 1 && g.known.count(first.Com_id2)) {
      double& m = lowestEntry.emplace(first.Com_id2, first.Sequence).first->second;
      m = std::min(m, first.Sequence);
    }
  }
  b.lower = Reachable(g, start, false, [&](const FlowRecord& f, std::int32_t reach) {
    if (!taken(f)) return false;
    auto entry = lowestEntry.find(reach);
    return !(f.Sequence > 0.0 && entry != lowestEntry.end() && f.Sequence > entry->second);
  });
  return b;
}

struct Walked {
  Set reaches;
  bool navigationError = false;
};

Walked WalkWhole(const NetworkTables& tables, const ReachRecord& start, const char* direction, double measure) {
  const WalkOutcome walk = Walk(tables, WalkFrom(start.Code(), direction, measure));
  Walked walked;
  walked.navigationError = walk.log.find("NAVIGATION ERROR") != std::string::npos;
  for (std::int32_t id : walk.ComIds()) walked.reaches.insert(id);
  return walked;
}

// Up to `count` reaches spread evenly over those that `pick` accepts and
// that their own reach code leads to (a walk starts at the first reach of
// its code).
template <typename Pick>
std::vector<const ReachRecord*> Starts(const NetworkTables& tables, std::size_t count, Pick pick) {
  std::vector<const ReachRecord*> all;
  for (const ReachRecord& r : tables.reaches())
    if (pick(r) && &tables.reaches()[static_cast<std::size_t>(tables.FindReachByRchCode(r.Code()))] == &r)
      all.push_back(&r);
  if (all.size() <= count) return all;
  std::vector<const ReachRecord*> some;
  for (std::size_t i = 0; i < count; ++i) some.push_back(all[i * all.size() / count]);
  return some;
}

std::string Difference(const Set& walked, const Set& expected) {
  std::vector<std::int32_t> missing, extra;
  std::set_difference(expected.begin(), expected.end(), walked.begin(), walked.end(), std::back_inserter(missing));
  std::set_difference(walked.begin(), walked.end(), expected.begin(), expected.end(), std::back_inserter(extra));
  std::string text = std::to_string(missing.size()) + " missing, " + std::to_string(extra.size()) + " extra:";
  for (std::size_t i = 0; i < missing.size() && i < 5; ++i) text += " -" + std::to_string(missing[i]);
  for (std::size_t i = 0; i < extra.size() && i < 5; ++i) text += " +" + std::to_string(extra[i]);
  return text;
}

void ExpectWithin(const Set& walked, const Bounds& b, std::int32_t start) {
  EXPECT_TRUE(std::includes(walked.begin(), walked.end(), b.lower.begin(), b.lower.end()))
      << "from " << start << ": " << Difference(walked, b.lower);
  EXPECT_TRUE(std::includes(b.upper.begin(), b.upper.end(), walked.begin(), walked.end()))
      << "from " << start << ": " << Difference(walked, b.upper);
}

class RealNetwork : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { tables_ = LoadNetwork(GetParam()); }

  // Walks whole in `direction` from `measure` of up to 100 reaches not in
  // `passedOver` and of up to 100 reaches of any kind; each walk must stay
  // within the bounds `boundsOf` gives and never meet the row guard.
  template <typename BoundsOf>
  void ExpectWalksWithinBounds(const std::unordered_set<std::int32_t>& passedOver, const char* direction,
                               double measure, BoundsOf boundsOf) {
    const Graph graph(tables_);
    std::vector<const ReachRecord*> starts =
        Starts(tables_, 100, [&](const ReachRecord& r) { return !passedOver.count(r.Com_id); });
    for (const ReachRecord* r : Starts(tables_, 100, [](const ReachRecord&) { return true; })) starts.push_back(r);

    for (const ReachRecord* start : starts) {
      const Walked walked = WalkWhole(tables_, *start, direction, measure);
      ExpectWithin(walked.reaches, boundsOf(graph, start->Com_id), start->Com_id);
      EXPECT_FALSE(walked.navigationError) << "from " << start->Com_id;
    }
  }

  NetworkTables tables_;
};

TEST_P(RealNetwork, UpstreamWalkTakesInEveryAncestor) {
  std::unordered_set<std::int32_t> flowsOn;
  for (const FlowRecord& f : tables_.flows())
    if (f.Dir == 709 || f.Dir == 714) flowsOn.insert(f.Com_id1);
  ExpectWalksWithinBounds(flowsOn, "U", 0.0, Ancestors);
}

TEST_P(RealNetwork, DownstreamWalkTakesInEveryDescendant) {
  std::unordered_set<std::int32_t> fed;
  for (const FlowRecord& f : tables_.flows())
    if (f.Dir == 709 && f.Com_id1 != 0) fed.insert(f.Com_id2);
  ExpectWalksWithinBounds(fed, "D", 100.0, Descendants);
}

INSTANTIATE_TEST_SUITE_P(Data, RealNetwork,
                         ::testing::Values("oswego", "oswego_rc", "smallnets", "haw_hr", "haw_hr_rc", "coastal_ca"));

}  // namespace
}  // namespace rill::netwalk_testing
