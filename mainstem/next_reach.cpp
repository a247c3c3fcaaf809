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

std::int32_t ChooseDownstream(const NetworkTables& tables, std::int32_t id, bool took709) {
  std::span<const std::int32_t> block = tables.RowsFromAt(id);
  auto known = [&](std::int32_t to) { return tables.ReachAt(to) >= 0; };
  std::int32_t chosen = FirstRow(tables, block, [&](const FlowRecord& f) {
    return (f.Dir == kDirOrdinary || f.Dir == kDirCoast) && IsMainPathLevel(f.DLevel) && known(f.id2) &&
           f.Com_id2 != 0 && !(f.Dir == kDirCoast && took709);
  });
  if (chosen >= 0) return chosen;
  // Only the first row of another level is tried here, known or not.
  std::int32_t row = FirstRow(
      tables, block, [](const FlowRecord& f) { return f.Dir == kDirOrdinary && f.DLevel == 1 && f.Orig710 == 0; });
  if (row >= 0 && known(tables.flows()[static_cast<std::size_t>(row)].id2)) return row;
  return FirstRow(tables, block, [&](const FlowRecord& f) { return f.Dir == kDirOrdinary && known(f.id2); });
}

void ChooseUpstream(const NetworkTables& tables, std::int32_t id, NextRowMemo::Choice& choice) {
  std::span<const std::int32_t> block = tables.RowsIntoAt(id);
  auto candidate = [&](auto pred) {
    return FirstRow(tables, block, [&](const FlowRecord& f) {
      return f.Dir == kDirOrdinary && tables.ReachAt(f.id1) >= 0 && pred(f);
    });
  };
  std::int32_t row = -1;
  std::int8_t pass = 0;
  if ((row = candidate([](const FlowRecord& f) { return f.DLevel == 0; })) >= 0)
    pass = 1;
  else if ((row = candidate([](const FlowRecord& f) { return f.Sequence == 0.0; })) >= 0)
    pass = 2;
  else if ((row = candidate([](const FlowRecord& f) { return f.DLevel == 1; })) >= 0)
    pass = 3;
  else if ((row = candidate([](const FlowRecord&) { return true; })) >= 0)
    pass = 4;
  choice.upstream = row;
  choice.upstreamPass = pass;
  // A Dir 712 row into the reach forbids every upstream step from it.
  choice.upstreamVetoed =
      row >= 0 && FirstRow(tables, block, [](const FlowRecord& f) { return f.Dir == kDirHeadwater; }) >= 0;
}

}  // namespace

std::int32_t NextDownstreamRowAt(NavContext& ctx, std::int32_t comId, std::int32_t id) {
  const NetworkTables& tables = ctx.tables;
  NavState& state = ctx.state;
  if (id < 0) {
    state.noNextReach = 1;  // a Com_id the tables do not hold has no rows
    return -1;
  }
  std::int32_t& cached = state.marks.MemoFor(id).downstream[state.took709 == 1 ? 1 : 0];
  if (cached == NextRowMemo::kUnknown) cached = ChooseDownstream(tables, id, state.took709 == 1);
  const std::int32_t chosen = cached;
  if (chosen < 0) {
    state.noNextReach = 1;
    return -1;
  }

  const FlowRecord& f = tables.flows()[static_cast<std::size_t>(chosen)];
  if (f.Dir == kDirOrdinary) state.took709 = 1;
  const ReachRecord* next = tables.ReachRecordAt(f.id2);
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

std::int32_t NextUpstreamRowAt(NavContext& ctx, std::int32_t id) {
  const NetworkTables& tables = ctx.tables;
  NavState& state = ctx.state;
  if (id < 0) {
    state.noNextReach = 1;  // a Com_id the tables do not hold has no rows
    return -1;
  }
  NextRowMemo::Choice& choice = state.marks.MemoFor(id);
  if (choice.upstream == NextRowMemo::kUnknown) ChooseUpstream(tables, id, choice);
  if (choice.upstream < 0) {
    state.noNextReach = 1;
    return -1;
  }

  // The pass that chose the row says so, and records an interior entry,
  // even when a Dir 712 row then drops the choice.
  const FlowRecord& f = tables.flows()[static_cast<std::size_t>(choice.upstream)];
  auto recordInterior = [&] {
    if (f.Orig710 == 1) RecordInteriorJunction(tables, state.specials, f.Com_id1, f.Sequence, true);
  };
  switch (choice.upstreamPass) {
    case 1:
      ctx.log.Print("Found 709 - DLevel = 0: %d\n", f.Com_id1);
      break;
    case 2:
      ctx.log.Print("Found 709 - DLevel = 1 - Sequence 0: %d\n", f.Com_id1);
      break;
    case 3:
      recordInterior();
      ctx.log.Print("Found 709 - DLevel = 1 - Sequence Not 0: %d\n", f.Com_id1);
      break;
    default:
      if (f.Orig710 == 1) {
        recordInterior();
        ctx.log.Print("Found 710: %d\n", f.Com_id1);
      }
      ctx.log.Print("Found something else: %d\n", f.Com_id1);
      break;
  }
  if (choice.upstreamVetoed) {
    state.noNextReach = 1;
    return -1;
  }
  return choice.upstream;
}

}  // namespace rill
