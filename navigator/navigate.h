#pragma once

#include "navigator/nav_request.h"
#include "navstate/nav_state.h"
#include "network/network_tables.h"
#include "text/text_writer.h"

namespace rill {

// What one navigation leaves behind for its result files: the state of its
// last pass, and whether the points were exchanged on the way (then the
// passages are written from the far end).
struct Navigation {
  NavState state;
  bool pointsSwapped = false;
};

// Whether a NavType names a navigation; any other type only loads the tables.
inline bool IsNavigationType(std::int32_t navType) { return navType >= 1 && navType <= 5; }

// Carries out one navigation of type 1 to 5, writing its trace to `log`.
// The request's points and direction may be exchanged on the way. Writes
// no file.
Navigation Navigate(const NetworkTables& tables, NavRequest& request, TextWriter& log);

}  // namespace rill
