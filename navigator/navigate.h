#pragma once

#include "navigator/nav_request.h"
#include "network/network_tables.h"
#include "text/text_writer.h"

namespace rill {

// Carries out one navigation of type 1 to 5 and writes its result files.
// The request's points and direction may be exchanged on the way. Returns
// the exit status: 0, or 3 when a result file could not be written.
int Navigate(const NetworkTables& tables, NavRequest& request, TextWriter& log);

}  // namespace rill
