#include "netwalk/add_sections.h"
#include "netwalk/row_scans.h"

namespace rill {

namespace {

bool Followed(const FlowRecord& f) { return f.Dir == kDirOrdinary || f.Dir == kDirCoast; }

// A tributary the walk may still go into: not output, a real reach, and
// under coastmain only along the coast (Dir 714).
bool IsOpen(const NetworkWalk& walk, const FlowRecord& f) {
  return !walk.ctx.state.marks.Visited(f.id1) && f.Com_id1 != 0 &&
         (f.Dir == kDirCoast || walk.ctx.state.coastmain != 1);
}

// C1 is entered inside, at measure Sequence on C1 (a row read as Dir 710):
// queue it to be walked up from that measure.
void QueuePartialEntry(NetworkWalk& walk, const FlowRecord& f, std::int32_t lastMeters) {
  TextWriter& log = walk.ctx.log;
  const double cum = walk.ctx.state.dCumTravelDistance;
  log.Print("Need to add a partial record to the array\n");
  AddSections(walk.ctx, f.Com_id1, f.id1, f.Sequence, walk.upstream);
  double tempDistance = cum == kLimitMet ? walk.lastTotal : cum;
  log.Print("dCumTravelDistance: %10.5f\n", cum);
  log.Print("Checking %d\n", f.Com_id1);
  log.Print("TempDistance %f\n", tempDistance);
  if (lastMeters > tempDistance) tempDistance = lastMeters;
  double newDistance = tempDistance;
  if (walk.lastRoid == walk.firstRoid && walk.dStartMeasure != 0.0)
    newDistance = tempDistance * (100 - walk.dStartMeasure) / 100;
  log.Print("     Last : %d - First: %d\n", walk.lastRoid, walk.firstRoid);
  log.Print("     dStartMeasure : %f\n", walk.dStartMeasure);
  log.Print("     Last Total: %10.5f\n", walk.lastTotal);
  log.Print("     Distance: %10.5f\n", walk.distance);
  log.Print("     TempDistance: %10.5f\n", tempDistance);
  log.Print("     Last Meters??? %d\n", lastMeters);
  log.Print("     Sequence: %10.5f\n", f.Sequence / 100);
  log.Print("     **NewDistance: %10.5f\n", newDistance);
  if (newDistance > 0.0 && walk.WithinLimit(newDistance)) {
    std::int32_t position = walk.Append(f.Com_id1, f.id1, newDistance, f.Sequence);
    log.Print("   Seq greater than 0 - adding PARTIAL roid: %d, position: %d, Distance: %f, StartMeasure: %f\n",
              f.Com_id1, position, newDistance, f.Sequence);
  }
}

// C1 joins the current reach inside, at measure Sequence: queue it with the
// travel distance at the junction. A tributary below the start point is
// not on the way.
void QueueInteriorJoin(NetworkWalk& walk, const FlowRecord& f, std::int32_t lastMeters) {
  const bool onStartReach = walk.lastRoid == walk.firstRoid;
  if (onStartReach && f.Sequence < walk.dStartMeasure) return;
  double d = lastMeters * f.Sequence / 100;
  if (walk.lastTotal > 0.0) d = d + walk.lastTotal;
  if (onStartReach) d = d - walk.dStartMeasure / 100 * lastMeters;
  if (d > 0.0 && walk.WithinLimit(d)) {
    std::int32_t position = walk.Append(f.Com_id1, f.id1, d, 0.0);
    walk.ctx.log.Print("   Seq greater than 0 - adding roid: %d, position: %d, Distance: %f\n", f.Com_id1, position, d);
  }
}

}  // namespace

void ScanUpstreamRows(NetworkWalk& walk) {
  const NetworkTables& tables = walk.ctx.tables;
  NavState& state = walk.ctx.state;
  std::span<const std::int32_t> rows = tables.RowsIntoAt(walk.lastId);
  if (rows.empty()) return;
  // The scan runs only for a reach the result builder accepted, so it is in
  // the reach table.
  const ReachRecord* last = tables.ReachRecordAt(walk.lastId);
  const std::int32_t lastMeters = last == nullptr ? 0 : last->Meters;

  const FlowRecord& head = tables.flows()[static_cast<std::size_t>(rows.front())];
  static constexpr LineFormat kCurrentFlow{
      "Current Flow record: com_id1: %d, com_id2: %d, seq: %10.5f, dir: %d, Orig 710? %d\n"};
  walk.ctx.log.Print(kCurrentFlow, head.Com_id1, head.Com_id2, head.Sequence, head.Dir, head.Orig710);

  for (std::int32_t row : rows) {
    if (!walk.RowBudgetLeft()) return;
    const FlowRecord& f = tables.flows()[static_cast<std::size_t>(row)];
    // The reach upstream is likely the next step: its entry comes while its
    // mark is read.
    tables.PrefetchEntry(f.id1);
    const bool open = IsOpen(walk, f);
    // The limit not yet met (a walk from the top of a reach has travelled 0).
    const bool reachEndOpen = open && state.dCumTravelDistance >= 0.0 && walk.WithinLimit(state.dCumTravelDistance);

    if (Followed(f) && f.Sequence > 0.0 && open) {
      if (f.Orig710 != 0)
        QueuePartialEntry(walk, f, lastMeters);
      else
        QueueInteriorJoin(walk, f, lastMeters);
    }
    if (Followed(f) && f.Sequence == 0.0 && f.DLevel != 0 && reachEndOpen) {
      std::int32_t position = walk.Append(f.Com_id1, f.id1, state.dCumTravelDistance, 0.0);
      walk.ctx.log.Print(kLevelsNotEqualAdding, f.Com_id1, position);
    }
    if (f.Dir == kDirOrdinary && f.Sequence == 0.0 && f.DLevel == 0 && reachEndOpen) {
      if (walk.nextRoid == 0) {
        walk.nextRoid = f.Com_id1;
        walk.nextId = f.id1;
        walk.ctx.log.Print(kLevelsEqualProcessing, f.Com_id1);
        AddSections(walk.ctx, f.Com_id1, f.id1, -1.0, walk.upstream);
      } else {
        std::int32_t position = walk.Append(f.Com_id1, f.id1, state.dCumTravelDistance, 0.0);
        walk.ctx.log.Print(kLevelsEqualAdding, f.Com_id1, position);
      }
    }
    ++walk.rowsExamined;
  }
}

}  // namespace rill
