#include <algorithm>

#include "mainstem/mainstem.h"
#include "network/recorders.h"

namespace rill {

void WalkMainstem(NavContext& ctx, const WalkRequest& walk) {
  if (walk.start.reach < 0) return;
  const ReachRecord& start = ctx.tables.reaches()[static_cast<std::size_t>(walk.start.reach)];
  const bool downstream = walk.downstream();
  const double startMeasure = walk.start.measure;

  PassageRequest request{walk.kind, walk.start, kNoPoint, walk.direction, -1.0, walk.units};
  if (walk.kind == NavKind::MainstemToDistance) request.distanceLimit = walk.distanceLimit;
  if (walk.kind == NavKind::PointToPoint) {
    request.end = walk.end;
    request.distanceLimit = walk.distanceLimit;
  }

  // Every pass counts as a step, also one over a reach already output, so a
  // loop of flow relations ends here.
  const double flowLast = static_cast<double>(ctx.tables.flows().size()) - 1;
  const double stepCap = std::max(flowLast + flowLast * 0.25, flowLast + 1);

  std::int32_t current = start.Com_id;
  std::int32_t currentId = ctx.tables.IdOf(current);  // then followed along the rows
  std::int32_t startMark = start.Branched;
  bool more = true;
  std::int16_t goOn = 1;
  for (double step = 0; more && goOn == 1 && !(step > stepCap) && !ctx.state.deadline.Passed(); step += 1) {
    if (!ctx.state.marks.Visited(currentId)) {
      if (startMark >= 1 && downstream && walk.startMode == StartReachMode::AtMeasure)
        RecordStartSections(ctx.tables, ctx.state.specials, current, startMeasure);
      startMark = -1;
      if (IsMainstemKind(walk.kind) || walk.kind == NavKind::PointToPoint)
        goOn = AddReachResult(ctx, request, current, currentId);
    }
    if (goOn == 1) {
      more = false;
      std::int32_t row = downstream ? NextDownstreamRowAt(ctx, current, currentId) : NextUpstreamRowAt(ctx, currentId);
      if (row >= 0) {
        more = true;
        const FlowRecord& f = ctx.tables.flows()[static_cast<std::size_t>(row)];
        current = downstream ? f.Com_id2 : f.Com_id1;
        currentId = downstream ? f.id2 : f.id1;
      }
    }
  }
}

}  // namespace rill
