// Network navigation: the walk that spreads over every tributary (upstream)
// or every divergence (downstream) with a first-in, first-out work list.
//
// The layer owns the work list, the row scans of each step and the sections
// recorded for reaches joined in their interior; it calls the tables, the
// state of the pass and the mainstem layer's reach result builder, nothing
// above. Like the mainstem walk it reports through the state and log it is
// given (a walk that runs round in circles ends at its row guard and says
// "NAVIGATION ERROR"), never prints and throws only std::bad_alloc.
#pragma once

#include "navstate/nav_state.h"
#include "navstate/walk_request.h"

namespace rill {

// Walks the whole network from the start reach (a network navigation, with
// or without its distance limit), appending every reach passed to
// ctx.state and tracing each step to ctx.log. Nothing happens when the start
// names no reach of the table; the direction is Up or Down.
void WalkNetwork(NavContext& ctx, const WalkRequest& request);

}  // namespace rill
