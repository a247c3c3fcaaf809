// Mainstem navigation: the walk along one path, the choice of the next flow
// row at each reach, and the reach result builder that both walkers use.
#pragma once

#include <cstdint>
#include <string_view>

#include "mainstem/add_reach_result.h"
#include "navstate/nav_state.h"
#include "navstate/result_list.h"

namespace rill {

// Walks one path from the start reach (navType 1, 3 or 5), appending every
// reach passed to ctx.state. The start reach is in the reach table and
// direction is "U" or "D"; distance is in meters, -1.0 for none.
void WalkMainstem(NavContext& ctx, std::int32_t navType, std::string_view startCode, double startMeasure,
                  std::string_view endCode, double endMeasure, std::string_view direction, double distance,
                  std::string_view units, std::int16_t wholeReachStartMode);

// The flow row a downstream (upstream) mainstem walk follows from a reach:
// an index into the flow table, or -1 (then noNextReach is set).
std::int32_t NextDownstreamRow(NavContext& ctx, std::int32_t comId);
std::int32_t NextUpstreamRow(NavContext& ctx, std::int32_t comId);

}  // namespace rill
