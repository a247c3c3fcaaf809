#include "netwalk/row_scans.h"

namespace rill {

void ScanDownstreamRows(NetworkWalk& walk) {
  const NetworkTables& tables = walk.ctx.tables;
  NavState& state = walk.ctx.state;
  TextWriter& log = walk.ctx.log;
  for (std::int32_t row : tables.RowsFromAt(walk.lastId)) {
    if (!walk.RowBudgetLeft()) return;
    const FlowRecord& f = tables.flows()[static_cast<std::size_t>(row)];
    // Downstream every divergence is followed, whatever the distance: a
    // branch that starts beyond the limit is not output when its turn comes.
    const bool open = f.Dir == kDirOrdinary && !state.marks.Visited(f.id2);

    if (open && f.Sequence > 0.0) {
      // Entered at an interior junction: when the reach being left was
      // itself passed only from some measure down, the branch counts only if
      // it leaves below that measure, and is walked down from there.
      const std::int32_t special = state.specials.FindSpecialCase(walk.lastRoid);
      std::int32_t position = -1;
      if (special == -1) {
        position = walk.Append(f.Com_id2, f.id2, state.dCumTravelDistance, 0.0);
      } else if (f.Sequence <= state.specials[special].f_meas) {
        position = walk.Append(f.Com_id2, f.id2, state.dCumTravelDistance, state.specials[special].f_meas);
      }
      if (position >= 0) log.Print("   Seq greater than 0 - adding roid: %d, position: %d\n", f.Com_id2, position);
    }
    if (open && f.Sequence == 0.0 && f.DLevel != 0) {
      std::int32_t position = walk.Append(f.Com_id2, f.id2, state.dCumTravelDistance, 0.0);
      log.Print(kLevelsNotEqualAdding, f.Com_id2, position);
    }
    if (open && f.Sequence == 0.0 && f.DLevel == 0) {
      if (walk.nextRoid == 0) {
        walk.nextRoid = f.Com_id2;
        walk.nextId = f.id2;
        log.Print(kLevelsEqualProcessing, f.Com_id2);
      } else {
        std::int32_t position = walk.Append(f.Com_id2, f.id2, state.dCumTravelDistance, 0.0);
        log.Print(kLevelsEqualAdding, f.Com_id2, position);
      }
    }
    ++walk.rowsExamined;
  }
}

}  // namespace rill
