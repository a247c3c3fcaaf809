// Network navigation: the walk that spreads over every tributary (upstream)
// or every divergence (downstream) with a first-in, first-out work list.
#pragma once

#include <cstdint>
#include <string_view>

#include "navstate/nav_state.h"

namespace rill {

// Walks the whole network from the start reach (navType 2, or 4 with a
// distance limit in meters; exactly -1.0 for none), appending every reach
// passed to ctx.state and tracing each step to ctx.log. The start reach is
// in the reach table (otherwise nothing happens) and direction is "U" or
// "D"; any text other than "U" walks with the flow.
void WalkNetwork(NavContext& ctx, std::int32_t navType, std::string_view startCode, double startMeasure,
                 std::string_view direction, double distance, std::string_view units, std::int16_t wholeReachStartMode);

}  // namespace rill
