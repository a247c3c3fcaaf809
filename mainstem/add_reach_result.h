#pragma once

#include <cstdint>

#include "navstate/nav_state.h"
#include "navstate/walk_request.h"

namespace rill {

// The request as every reach of a walk sees it. A network walk passes its
// reaches as type 2 or 4, and moves the start measure as it enters reaches
// at interior junctions.
struct PassageRequest {
  NavKind kind = NavKind::None;
  ReachPoint start;
  ReachPoint end = kNoPoint;  // unless point to point
  Direction direction = Direction::Down;
  double distanceLimit = -1.0;  // meters; -1.0 without limit
  DistanceUnit units = DistanceUnit::Meters;
};

// Clips one reach to the start point, end point and distance limit, appends
// its records (whole or as its recorded pieces) and advances the travelled
// distance. Answers 1 when the walk may go on, 0 when it stops.
// `id` is the reach's dense id; the short form looks it up.
std::int16_t AddReachResult(NavContext& ctx, const PassageRequest& request, std::int32_t comId, std::int32_t id);
inline std::int16_t AddReachResult(NavContext& ctx, const PassageRequest& request, std::int32_t comId) {
  return AddReachResult(ctx, request, comId, ctx.tables.IdOf(comId));
}

}  // namespace rill
