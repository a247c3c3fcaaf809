#pragma once

#include <cstdint>
#include <string_view>

#include "navstate/nav_state.h"

namespace rill {

// The request as every reach of a walk sees it.
struct PassageRequest {
  std::int32_t navType = 0;
  std::string_view startCode;
  double startMeasure = 0.0;
  std::string_view endCode;  // "" unless point to point
  double endMeasure = 0.0;
  std::string_view direction;
  double distanceLimit = -1.0;  // meters; -1.0 without limit
  std::string_view units;
};

// Clips one reach to the start point, end point and distance limit, appends
// its records (whole or as its recorded pieces) and advances the travelled
// distance. Answers 1 when the walk may go on, 0 when it stops.
std::int16_t AddReachResult(NavContext& ctx, const PassageRequest& request, std::int32_t comId);

}  // namespace rill
