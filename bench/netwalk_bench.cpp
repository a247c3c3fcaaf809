// Network walks over large networks: each walk must stay close to linear in
// the reaches and rows it touches.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "navstate/nav_state.h"
#include "netwalk/add_sections.h"
#include "netwalk/netwalk.h"
#include "network/table_loader.h"

namespace rill {
namespace {

ReachRecord MakeReach(std::int32_t comId, std::int32_t meters) {
  ReachRecord r;
  r.Com_id = comId;
  std::snprintf(r.Rch_code, sizeof r.Rch_code, "%d", comId);
  std::snprintf(r.Rch_date, sizeof r.Rch_date, "%s", "20000101");
  r.Meters = meters;
  return r;
}

FlowRecord MakeFlow(std::int32_t rel, std::int32_t from, std::int32_t to, double sequence, std::int32_t dLevel) {
  FlowRecord f;
  f.Rel_com_Id = rel;
  f.Com_id1 = from;
  f.Com_id2 = to;
  f.Sequence = sequence;
  f.Dir = kDirOrdinary;
  f.DLevel = dLevel;
  return f;
}

// Reach i flows into reach i + 1; reach n is the outlet.
NetworkTables Chain(std::int32_t n) {
  NetworkTables t;
  t.SealSections();
  for (std::int32_t i = 1; i < n; ++i) t.AppendFlow(MakeFlow(i, i, i + 1, 0.0, 0));
  t.SealFlows();
  for (std::int32_t i = 1; i <= n; ++i) t.AppendReach(MakeReach(i, 100));
  t.SealReaches();
  return t;
}

// Reach 1 is the outlet; reaches 2i (same level) and 2i + 1 (another level)
// flow into reach i.
NetworkTables BinaryTree(std::int32_t n) {
  NetworkTables t;
  t.SealSections();
  for (std::int32_t i = 2; i <= n; ++i) t.AppendFlow(MakeFlow(i, i, i / 2, 0.0, i % 2));
  t.SealFlows();
  for (std::int32_t i = 1; i <= n; ++i) t.AppendReach(MakeReach(i, 100));
  t.SealReaches();
  return t;
}

// A chain in which every reach also takes a tributary at measure 50 and is
// cut into two sections there, so each step records its sections.
NetworkTables ChainWithInteriorJoins(std::int32_t n) {
  NetworkTables t;
  for (std::int32_t i = 1; i <= n; ++i) {
    t.AppendSection({0.0, 50.0, 0, 0, i, 50});
    t.AppendSection({50.0, 100.0, 0, 0, i, 50});
  }
  t.SealSections();
  std::int32_t rel = 0;
  for (std::int32_t i = 1; i < n; ++i) {
    t.AppendFlow(MakeFlow(++rel, i + 1, i, 0.0, 0));
    t.AppendFlow(MakeFlow(++rel, n + i, i, 50.0, 1));
  }
  t.SealFlows();
  for (std::int32_t i = 1; i < 2 * n; ++i) t.AppendReach(MakeReach(i, 100));
  t.SealReaches();
  return t;
}

// A whole-network walk without limit from the first reach of a code.
WalkRequest NetworkWalkFrom(const NetworkTables& tables, std::string_view code, double measure, const char* direction) {
  WalkRequest walk;
  walk.kind = NavKind::Network;
  walk.start = ReachPoint{tables.FindReachByRchCode(code), code, false, measure};
  walk.direction = direction[0] == 'U' ? Direction::Up : Direction::Down;
  return walk;
}

void RunWalk(benchmark::State& state, const NetworkTables& tables, std::int32_t start, const char* direction,
             double measure) {
  const std::string code = std::to_string(start);
  std::size_t output = 0;
  for (auto _ : state) {
    NavState nav;
    TextWriter log;  // not opened: the trace is formatted and dropped
    NavContext ctx{tables, nav, log};
    WalkNetwork(ctx, NetworkWalkFrom(tables, code, measure, direction));
    output = nav.results.records().size();
    benchmark::DoNotOptimize(output);
  }
  state.counters["reaches"] = static_cast<double>(output);
  state.SetComplexityN(state.range(0));
}

void BM_ChainDownstream(benchmark::State& state) {
  const NetworkTables t = Chain(static_cast<std::int32_t>(state.range(0)));
  RunWalk(state, t, 1, "D", 100.0);
}
BENCHMARK(BM_ChainDownstream)->RangeMultiplier(4)->Range(1 << 14, 1 << 20)->Unit(benchmark::kMillisecond)->Complexity();

void BM_ChainUpstream(benchmark::State& state) {
  const std::int32_t n = static_cast<std::int32_t>(state.range(0));
  const NetworkTables t = Chain(n);
  RunWalk(state, t, n, "U", 0.0);
}
BENCHMARK(BM_ChainUpstream)->RangeMultiplier(4)->Range(1 << 14, 1 << 20)->Unit(benchmark::kMillisecond)->Complexity();

void BM_BinaryTreeUpstream(benchmark::State& state) {
  const NetworkTables t = BinaryTree(static_cast<std::int32_t>(state.range(0)));
  RunWalk(state, t, 1, "U", 0.0);
}
BENCHMARK(BM_BinaryTreeUpstream)
    ->RangeMultiplier(4)
    ->Range(1 << 14, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_InteriorJoinsUpstream(benchmark::State& state) {
  const NetworkTables t = ChainWithInteriorJoins(static_cast<std::int32_t>(state.range(0)));
  RunWalk(state, t, 1, "U", 0.0);
}
BENCHMARK(BM_InteriorJoinsUpstream)
    ->RangeMultiplier(4)
    ->Range(1 << 12, 1 << 18)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// One reach cut into n sections that chain upward.
void BM_AddSectionsLongChain(benchmark::State& state) {
  const std::int32_t n = static_cast<std::int32_t>(state.range(0));
  NetworkTables t;
  // Stored from the top down, so the chain never finds its next section first.
  for (std::int32_t i = n - 1; i >= 0; --i) t.AppendSection({i * 100.0 / n, (i + 1) * 100.0 / n, 0, 0, 1, 1});
  t.SealSections();
  t.AppendFlow(MakeFlow(1, 2, 1, 50.0, 1));
  t.SealFlows();
  t.AppendReach(MakeReach(1, n));
  t.SealReaches();
  for (auto _ : state) {
    NavState nav;
    TextWriter log;
    NavContext ctx{t, nav, log};
    AddSections(ctx, 1, -1.0, true);
    benchmark::DoNotOptimize(nav.specials.entries().size());
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_AddSectionsLongChain)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Every basin of the small-networks sample walked up from its outlet.
void BM_SmallnetsEveryBasinUpstream(benchmark::State& state) {
  NetworkTables t;
  TextWriter discard;
  const std::string folder = std::string(RILL_DATA_DIR) + "/smallnets/";
  if (!LoadNetworkTables(TablePathsFor(folder, ""), ReadWholeFile, discard, t).ok()) {
    state.SkipWithError("smallnets not found");
    return;
  }
  std::vector<std::string> outlets;
  for (const ReachRecord& r : t.reaches())
    if (t.RowsFrom(r.Com_id).empty() && t.FindReachByRchCode(r.Code()) == t.FindReachByComId(r.Com_id))
      outlets.emplace_back(r.Code());
  std::size_t output = 0;
  for (auto _ : state) {
    output = 0;
    for (const std::string& code : outlets) {
      NavState nav;
      TextWriter log;
      NavContext ctx{t, nav, log};
      WalkNetwork(ctx, NetworkWalkFrom(t, code, 0.0, "U"));
      output += nav.results.records().size();
    }
    benchmark::DoNotOptimize(output);
  }
  state.counters["walks"] = static_cast<double>(outlets.size());
  state.counters["reaches"] = static_cast<double>(output);
}
BENCHMARK(BM_SmallnetsEveryBasinUpstream)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rill
