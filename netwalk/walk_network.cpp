#include <algorithm>

#include "mainstem/add_reach_result.h"
#include "netwalk/add_sections.h"
#include "netwalk/netwalk.h"
#include "netwalk/row_lookups.h"
#include "netwalk/row_scans.h"
#include "network/recorders.h"

namespace rill {

namespace {

// Every row belongs to one block per direction and an output reach is not
// scanned again, so an ordinary walk examines each row at most once. The
// guard leaves room for that, also in a table of very few rows.
double RowGuard(const NetworkTables& tables) {
  const double flowLast = static_cast<double>(tables.flows().size()) - 1;
  return std::max(1.25 * flowLast, flowLast + 1);
}

// How many turns of the work list ahead a reach's entry, then its record
// and rows, are fetched.
constexpr std::int32_t kEntryAhead = 8;
constexpr std::int32_t kStepAhead = 4;

// Picks the reach of the next step: the same-level continuation, else the
// next waiting reach not yet output. False when the work is done.
bool ChooseNextReach(NetworkWalk& walk) {
  if (walk.nextRoid != 0) {
    // The path goes on from the far end of the reach just passed.
    walk.currentRoid = walk.nextRoid;
    walk.currentId = walk.nextId;
    return true;
  }
  const RoidEntry* entry = walk.roids.TakeNext(walk.ctx.state.marks);
  if (entry == nullptr) return false;
  // The reaches waiting a few turns on: their entries now, and what their
  // entries lead to once those have come.
  const std::int32_t take = walk.roids.takePosition();
  if (take + kEntryAhead <= walk.roids.lastPosition())
    walk.ctx.tables.PrefetchEntry(walk.roids.at(take + kEntryAhead).id);
  if (take + kStepAhead <= walk.roids.lastPosition()) walk.ctx.tables.PrefetchStep(walk.roids.at(take + kStepAhead).id);
  walk.currentRoid = entry->Roid;
  walk.currentId = entry->id;
  walk.ctx.state.dCumTravelDistance = entry->Distance;
  if (entry->StartMeasure != 0.0) {
    walk.dStartMeasure = entry->StartMeasure;
    walk.firstRoid = walk.currentRoid;
  }
  return true;
}

}  // namespace

void WalkNetwork(NavContext& ctx, const WalkRequest& request) {
  if (request.start.reach < 0) return;
  const ReachRecord& start = ctx.tables.reaches()[static_cast<std::size_t>(request.start.reach)];
  const bool upstream = request.upstream();
  const double startMeasure = request.start.measure;
  const double distance = request.distanceLimit;

  NetworkWalk walk(ctx, upstream, distance);
  walk.currentRoid = start.Com_id;
  walk.currentId = ctx.tables.IdOf(start.Com_id);
  walk.firstRoid = start.Com_id;
  std::int16_t startBranched = start.Branched;
  walk.rowGuard = RowGuard(ctx.tables);

  AddSections(ctx, walk.currentRoid, walk.currentId, startMeasure, upstream);
  walk.dStartMeasure = startMeasure;

  const NavKind passKind = request.kind == NavKind::Network ? NavKind::Network : NavKind::NetworkToDistance;
  const double passLimit = request.kind == NavKind::Network ? -1.0 : distance;
  bool more = true;
  while (more && walk.roids.takePosition() <= walk.roids.lastPosition() && walk.RowBudgetLeft() &&
         !ctx.state.deadline.Passed()) {
    if (startBranched >= 1) {
      // A walk down from inside a branched start reach passes only the
      // sections below the start point.
      if (request.downstream() && request.startMode == StartReachMode::AtMeasure)
        RecordStartSections(ctx.tables, ctx.state.specials, walk.currentRoid, walk.dStartMeasure);
      startBranched = -1;
    }
    // After the limit was met, branches still count from where this reach began.
    if (ctx.state.dCumTravelDistance != kLimitMet) walk.lastTotal = ctx.state.dCumTravelDistance;
    static constexpr LineFormat kCurrentRoid{"Current Roid: %d, TravelDistance: %10.5f\n"};
    static constexpr LineFormat kCallingOutput{"Calling Output Procedure for %d\n"};
    ctx.log.Print(kCurrentRoid, walk.currentRoid, walk.lastTotal);

    ctx.log.Print(kCallingOutput, walk.currentRoid);
    ReachPoint from = request.start;
    from.measure = walk.dStartMeasure;
    const PassageRequest passage{passKind, from, kNoPoint, request.direction, passLimit, request.units};
    const std::int16_t answer = AddReachResult(ctx, passage, walk.currentRoid, walk.currentId);
    ctx.log.Write(answer == 1 ? "Continue? - YES\n" : "Continue? - NO\n");

    std::int32_t row = -1;
    if (answer != 0)
      row = upstream ? FirstUpstreamRowAt(ctx, walk.currentId)
                     : FirstDownstreamRowAt(ctx, walk.currentRoid, walk.currentId);
    walk.lastRoid = walk.currentRoid;
    walk.lastId = walk.currentId;
    walk.nextRoid = 0;
    walk.nextId = -1;
    if (row >= 0) {
      if (upstream)
        ScanUpstreamRows(walk);
      else
        ScanDownstreamRows(walk);
    }
    more = ChooseNextReach(walk);
  }
  if (!walk.RowBudgetLeft()) ctx.log.Print("NAVIGATION ERROR\n");
}

}  // namespace rill
