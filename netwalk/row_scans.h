// The scans of one reach's flow rows in a network walk: the first
// same-level neighbour becomes walk.nextRoid, the other neighbours that
// qualify go to the work list.
#pragma once

#include "netwalk/walk_state.h"

namespace rill {

// The trace lines of a scan, for every reach a walk passes: read once.
inline constexpr LineFormat kLevelsNotEqualAdding{"   Levels not equal - adding roid: %d, position: %d\n"};
inline constexpr LineFormat kLevelsEqualProcessing{"   Levels equal - processing roid: %d\n"};
inline constexpr LineFormat kLevelsEqualAdding{"   Levels equal - adding roid: %d, position: %d\n"};

// Rows entering walk.lastRoid: its tributaries and the reaches it is
// entered from, with the travel distance where each is entered.
void ScanUpstreamRows(NetworkWalk& walk);

// Rows leaving walk.lastRoid: the reaches it flows into (Dir 709 only).
void ScanDownstreamRows(NetworkWalk& walk);

}  // namespace rill
