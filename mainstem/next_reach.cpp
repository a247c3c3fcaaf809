// The flow row a mainstem walk follows out of a reach: main-path rows
// first, then weaker candidates, pass by pass.
#include <span>

#include "mainstem/mainstem.h"
#include "network/recorders.h"

namespace rill {

namespace {

bool IsMainPathLevel(std::int32_t dLevel) { return dLevel == 0 || dLevel == -9999 || dLevel == -9998; }

template <typename Pred>
std::int32_t FirstRow(const NetworkTables& tables, std::span<const std::int32_t> block, Pred pred) {
  for (std::int32_t row : block)
    if (pred(tables.flows()[static_cast<std::size_t>(row)])) return row;
  return -1;
}

}  // namespace

std::int32_t NextDownstreamRow(NavContext& ctx, std::int32_t comId) {
  const NetworkTables& tables = ctx.tables;
  NavState& state = ctx.state;
  std::span<const std::int32_t> block = tables.RowsFrom(comId);
  auto known = [&](std::int32_t id) { return tables.FindReachByComId(id) >= 0; };

  std::int32_t chosen = FirstRow(tables, block, [&](const FlowRecord& f) {
    return (f.Dir == kDirOrdinary || f.Dir == kDirCoast) && IsMainPathLevel(f.DLevel) && known(f.Com_id2) &&
           f.Com_id2 != 0 && !(f.Dir == kDirCoast && state.took709 == 1);
  });
  if (chosen < 0) {
    // Only the first row of another level is tried here, known or not.
    std::int32_t row = FirstRow(tables, block, [](const FlowRecord& f) {
      return f.Dir == kDirOrdinary && f.DLevel == 1 && f.Orig710 == 0;
    });
    if (row >= 0 && known(tables.flows()[static_cast<std::size_t>(row)].Com_id2)) chosen = row;
  }
  if (chosen < 0)
    chosen = FirstRow(tables, block, [&](const FlowRecord& f) { return f.Dir == kDirOrdinary && known(f.Com_id2); });
  if (chosen < 0) {
    state.noNextReach = 1;
    return -1;
  }

  const FlowRecord& f = tables.flows()[static_cast<std::size_t>(chosen)];
  if (f.Dir == kDirOrdinary) state.took709 = 1;
  const ReachRecord* next = tables.ReachByComId(f.Com_id2);
  if (next->Branched == 1) {
    ctx.log.Print("Reach %d flows into the branched reach %d\n", comId, f.Com_id2);
    RecordBranchedEntry(tables, state.specials, comId, f.Com_id2, state.branchFallbackUsed);
  } else if (next->Branched == 2) {
    ctx.log.Print("Reach %d flows into the lake reach with no mainpath %d\n", comId, f.Com_id2);
    RecordLakeEntry(tables, state.specials, comId, f.Com_id2);
  }
  // A row stored from Dir 710 carries a measure on the reach being left, not
  // on the one entered: it marks no interior entry here.
  if (f.Sequence > 0.0 && f.Orig710 == 0) {
    ctx.log.Print("Reach %d flows in to (or out of) the interior of reach %d\n", comId, f.Com_id2);
    RecordInteriorJunction(tables, state.specials, f.Com_id2, f.Sequence, false);
  }
  return chosen;
}

std::int32_t NextUpstreamRow(NavContext& ctx, std::int32_t comId) {
  const NetworkTables& tables = ctx.tables;
  NavState& state = ctx.state;
  std::span<const std::int32_t> block = tables.RowsInto(comId);
  auto candidate = [&](auto pred) {
    return FirstRow(tables, block, [&](const FlowRecord& f) {
      return f.Dir == kDirOrdinary && tables.FindReachByComId(f.Com_id1) >= 0 && pred(f);
    });
  };
  auto at = [&](std::int32_t row) -> const FlowRecord& { return tables.flows()[static_cast<std::size_t>(row)]; };
  auto recordInterior = [&](const FlowRecord& f) {
    if (f.Orig710 == 1) RecordInteriorJunction(tables, state.specials, f.Com_id1, f.Sequence, true);
  };

  std::int32_t chosen = candidate([](const FlowRecord& f) { return f.DLevel == 0; });
  if (chosen >= 0) {
    ctx.log.Print("Found 709 - DLevel = 0: %d\n", at(chosen).Com_id1);
  } else if ((chosen = candidate([](const FlowRecord& f) { return f.Sequence == 0.0; })) >= 0) {
    ctx.log.Print("Found 709 - DLevel = 1 - Sequence 0: %d\n", at(chosen).Com_id1);
  } else if ((chosen = candidate([](const FlowRecord& f) { return f.DLevel == 1; })) >= 0) {
    recordInterior(at(chosen));
    ctx.log.Print("Found 709 - DLevel = 1 - Sequence Not 0: %d\n", at(chosen).Com_id1);
  } else if ((chosen = candidate([](const FlowRecord&) { return true; })) >= 0) {
    if (at(chosen).Orig710 == 1) {
      recordInterior(at(chosen));
      ctx.log.Print("Found 710: %d\n", at(chosen).Com_id1);
    }
    ctx.log.Print("Found something else: %d\n", at(chosen).Com_id1);
  }
  // A Dir 712 row into the reach forbids every upstream step from it.
  if (chosen >= 0 && FirstRow(tables, block, [](const FlowRecord& f) { return f.Dir == kDirHeadwater; }) >= 0)
    chosen = -1;
  if (chosen < 0) state.noNextReach = 1;
  return chosen;
}

}  // namespace rill
