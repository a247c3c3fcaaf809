#include "netwalk/row_lookups.h"

#include "network/recorders.h"

namespace rill {

std::int32_t FirstUpstreamRowAt(NavContext& ctx, std::int32_t id) {
  std::span<const std::int32_t> rows = ctx.tables.RowsIntoAt(id);
  if (rows.empty()) {
    ctx.state.noNextReach = 1;
    return -1;
  }
  return rows.front();
}

std::int32_t FirstDownstreamRowAt(NavContext& ctx, std::int32_t comId, std::int32_t id) {
  std::span<const std::int32_t> rows = ctx.tables.RowsFromAt(id);
  if (rows.empty()) {
    ctx.state.noNextReach = 1;
    return -1;
  }
  const std::int32_t first = rows.front();
  const FlowRecord& flow = ctx.tables.flows()[static_cast<std::size_t>(first)];
  const std::int32_t receiving = flow.Com_id2;
  // Only the first row of the block is prepared for; the others are entered
  // as whole reaches unless something else recorded them.
  if (const ReachRecord* reach = ctx.tables.ReachRecordAt(flow.id2)) {
    if (reach->Branched == 1)
      RecordBranchedEntry(ctx.tables, ctx.state.specials, comId, receiving, ctx.state.branchFallbackUsed);
    if (reach->Branched == 2) RecordLakeEntry(ctx.tables, ctx.state.specials, comId, receiving);
  }
  // A row read as Dir 710 carries a measure on the reach being left, not on
  // the receiving one.
  if (flow.Sequence > 0.0 && flow.Orig710 != 1) {
    ctx.log.Print("Reach %d flows in to (or out of) the interior of reach %d\n", comId, receiving);
    RecordInteriorJunction(ctx.tables, ctx.state.specials, receiving, flow.Sequence, false);
  }
  return first;
}

}  // namespace rill
