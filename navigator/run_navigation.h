#pragma once

#include <ostream>
#include <string_view>

#include "navigator/exit_status.h"
#include "navigator/run_summary.h"

namespace rill {

// How a run may use the machine. Every setting writes the same bytes to
// every file; `concurrent` off is the plain single-threaded path.
struct RunOptions {
  // The run log is written by a second thread, the tables are read side by side.
  bool concurrent = true;
};

// Performs one whole run for a comma-separated command line: reads the
// tables of the work folder, navigates and writes the result files.
// Returns the process exit status; writes its complaints to `errors`
// (standard error in the programs). With `summary`, fills it with what the
// run did; its log path is left empty when the run log was not created.
int RunNavigation(std::string_view commandLine, std::ostream& errors, const RunOptions& options = {},
                  RunSummary* summary = nullptr);

}  // namespace rill
