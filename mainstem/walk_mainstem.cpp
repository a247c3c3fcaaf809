#include <algorithm>

#include "mainstem/mainstem.h"
#include "network/recorders.h"

namespace rill {

void WalkMainstem(NavContext& ctx, std::int32_t navType, std::string_view startCode, double startMeasure,
                  std::string_view endCode, double endMeasure, std::string_view direction, double distance,
                  std::string_view units, std::int16_t wholeReachStartMode) {
  const std::int32_t startIndex = ctx.tables.FindReachByRchCode(startCode);
  if (startIndex < 0) return;
  const ReachRecord& start = ctx.tables.reaches()[static_cast<std::size_t>(startIndex)];
  const bool downstream = direction == "D";

  PassageRequest request{navType, startCode, startMeasure, "", 0.0, direction, -1.0, units};
  if (navType == 3) request.distanceLimit = distance;
  if (navType == 5) {
    request.endCode = endCode;
    request.endMeasure = endMeasure;
    request.distanceLimit = distance;
  }

  // Every pass counts as a step, also one over a reach already output, so a
  // loop of flow relations ends here.
  const double flowLast = static_cast<double>(ctx.tables.flows().size()) - 1;
  const double stepCap = std::max(flowLast + flowLast * 0.25, flowLast + 1);

  std::int32_t current = start.Com_id;
  std::int32_t startMark = start.Branched;
  bool more = true;
  std::int16_t goOn = 1;
  for (double step = 0; more && goOn == 1 && !(step > stepCap); step += 1) {
    if (!ctx.state.results.IsInResults(current)) {
      if (startMark >= 1 && downstream && wholeReachStartMode == 0)
        RecordStartSections(ctx.tables, ctx.state.specials, current, startMeasure);
      startMark = -1;
      if (navType == 1 || navType == 3 || navType == 5) goOn = AddReachResult(ctx, request, current);
    }
    if (goOn == 1) {
      more = false;
      std::int32_t row = downstream ? NextDownstreamRow(ctx, current) : NextUpstreamRow(ctx, current);
      if (row >= 0) {
        more = true;
        const FlowRecord& f = ctx.tables.flows()[static_cast<std::size_t>(row)];
        current = downstream ? f.Com_id2 : f.Com_id1;
      }
    }
  }
}

}  // namespace rill
