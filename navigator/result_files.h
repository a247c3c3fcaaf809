#pragma once

#include "navigator/nav_request.h"
#include "navstate/nav_state.h"

namespace rill {

// Writes the result CSV, ccode.txt and the special-case block of the run
// log for the last navigation pass. Returns the exit status: 0, or 3 when
// an output file could not be written completely (then no ccode.txt is left
// beside a broken CSV).
int WriteResultFiles(const NavContext& ctx, const NavRequest& request, bool pointsSwapped);

// The four status digits and line end of ccode.txt.
std::string StatusCode(const NavState& state, std::int32_t navType);

}  // namespace rill
