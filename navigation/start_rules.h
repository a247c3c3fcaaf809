#pragma once

#include <cstdint>

#include "navstate/walk_request.h"
#include "network/network_tables.h"

namespace rill {

// Whether the kind of the start reach forbids the navigation. May move the
// start measure to 200.0 (a lake start walked whole, downstream).
bool StartIsBlocked(const ReachRecord& start, NavKind kind, Direction direction, StartReachMode mode,
                    double& startMeasure);

// Whether the last flow row naming the reach, in file order, has Dir 714.
bool TestCoastmain(const NetworkTables& tables, std::int32_t comId);

}  // namespace rill
