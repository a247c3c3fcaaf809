// The result of a navigation made from the state its last pass left: the
// one place where the walk's vocabulary becomes the interface's.
#pragma once

#include <string>
#include <vector>

#include "navigation/navigation_result.h"
#include "navigation/request.h"
#include "navstate/nav_state.h"

namespace rill {

// How the last pass ended, beside its state.
struct PassEnding {
  NavKind kind = NavKind::None;
  bool pointsSwapped = false;
  UnitBoundary boundary = UnitBoundary::All;
  std::string boundaryCode;  // rows of its unit (first 8 characters) are kept under SameUnit
  std::string startCode;     // named in the note of a blocked start
};

// The rows, digits, notes and pieces of the pass; `notes` already holds
// the lines of a request the checks refused. Leaves the state's records
// and pieces moved from.
Navigation ResultOfPass(const NetworkTables& tables, NavState& state, const PassEnding& ending,
                        std::vector<std::string> notes = {});

}  // namespace rill
