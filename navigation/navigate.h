#pragma once

#include <string>
#include <vector>

#include "navigation/request.h"
#include "navstate/nav_state.h"
#include "network/network_tables.h"
#include "text/text_writer.h"

namespace rill {

// What one navigation found: the state of its last pass, and what a caller
// needs to write or show it.
struct Navigation {
  NavState state;
  NavKind kind = NavKind::None;
  // The points were exchanged on the way: the rows are written from the far end.
  bool pointsSwapped = false;
  UnitBoundary boundary = UnitBoundary::All;
  std::string boundaryCode;  // the rows of its unit (first 8 characters) are kept under SameUnit
  std::string ccode;         // the four status digits; empty when nothing was navigated
  // Why the walk stopped where the status digits say, in the words of the trace.
  std::vector<std::string> notes;
  // Not empty when the request names a point by a code and a Com_id that
  // disagree: then nothing was walked and nothing written to the log.
  std::string refusal;
};

// What a caller that navigates request after request keeps between them:
// the walk marks, sized once for the tables and cleared only where a walk
// touched them, so that no request takes fresh memory for them.
struct NavWorkspace {
  WalkMarks marks;
};

// Carries out one navigation of `request` on the loaded tables, writing its
// trace to `log` (a discarding writer formats nothing). A request of no
// navigation kind returns at once with an empty ccode. Writes no file and
// never changes the tables; throws only std::bad_alloc. With `reuse`, the
// walk works in its marks and gives them back cleared.
Navigation Navigate(const NetworkTables& tables, const NavigationRequest& request, TextWriter& log,
                    NavWorkspace* reuse = nullptr);

}  // namespace rill
