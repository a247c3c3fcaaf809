// Mainstem navigation: the walk along one path, the choice of the next flow
// row at each reach, and the reach result builder that both walkers use.
//
// The layer owns those three; it calls the tables (network/) and the state
// of the pass (navstate/) and nothing above. It reports nothing but through
// the state it is given: the rows appended, the status flags raised, the
// trace written to the pass's log. It never prints and throws only
// std::bad_alloc.
#pragma once

#include <cstdint>

#include "mainstem/add_reach_result.h"
#include "navstate/nav_state.h"
#include "navstate/result_list.h"
#include "navstate/walk_request.h"

namespace rill {

// Walks one path from the start reach (a mainstem navigation or point to
// point), appending every reach passed to ctx.state. Nothing happens when
// the start names no reach of the table; the direction is Up or Down.
void WalkMainstem(NavContext& ctx, const WalkRequest& request);

// The flow row a downstream (upstream) mainstem walk follows from a reach:
// an index into the flow table, or -1 (then noNextReach is set).
// The walks pass the reach's dense id (and its Com_id for the trace); the
// forms by Com_id alone look the id up.
std::int32_t NextDownstreamRowAt(NavContext& ctx, std::int32_t comId, std::int32_t id);
std::int32_t NextUpstreamRowAt(NavContext& ctx, std::int32_t id);
inline std::int32_t NextDownstreamRow(NavContext& ctx, std::int32_t comId) {
  return NextDownstreamRowAt(ctx, comId, ctx.tables.IdOf(comId));
}
inline std::int32_t NextUpstreamRow(NavContext& ctx, std::int32_t comId) {
  return NextUpstreamRowAt(ctx, ctx.tables.IdOf(comId));
}

}  // namespace rill
