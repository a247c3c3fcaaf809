// Where a network walk finds the flow rows of a reach.
#pragma once

#include <cstdint>

#include "navstate/nav_state.h"

namespace rill {

// Index in the flow table of the first row (file order) that enters the
// reach, or -1 with noNextReach set when nothing flows into it.
std::int32_t FirstUpstreamRowAt(NavContext& ctx, std::int32_t id);

// Index of the first row (file order) that leaves the reach, or -1 with
// noNextReach set. Records how the walk will enter the reach that this
// first row leads to: through a branch, into a lake, or at an interior
// junction.
std::int32_t FirstDownstreamRowAt(NavContext& ctx, std::int32_t comId, std::int32_t id);

// The walk passes the reach's dense id (and its Com_id for the trace);
// these forms look the id up.
inline std::int32_t FirstUpstreamRow(NavContext& ctx, std::int32_t comId) {
  return FirstUpstreamRowAt(ctx, ctx.tables.IdOf(comId));
}
inline std::int32_t FirstDownstreamRow(NavContext& ctx, std::int32_t comId) {
  return FirstDownstreamRowAt(ctx, comId, ctx.tables.IdOf(comId));
}

}  // namespace rill
