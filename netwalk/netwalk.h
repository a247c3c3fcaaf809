// Network navigation: the walk that spreads over every tributary (upstream)
// or every divergence (downstream) with a first-in, first-out work list.
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
