// The scans of one reach's flow rows in a network walk: the first
// same-level neighbour becomes walk.nextRoid, the other neighbours that
// qualify go to the work list.
#pragma once

#include "netwalk/walk_state.h"

namespace rill {

// Rows entering walk.lastRoid: its tributaries and the reaches it is
// entered from, with the travel distance where each is entered.
void ScanUpstreamRows(NetworkWalk& walk);

// Rows leaving walk.lastRoid: the reaches it flows into (Dir 709 only).
void ScanDownstreamRows(NetworkWalk& walk);

}  // namespace rill
