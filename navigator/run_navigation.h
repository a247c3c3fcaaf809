#pragma once

#include <string_view>

namespace rill {

// Exit statuses of the navigator.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitInputMissing = 1;
inline constexpr int kExitUnusableCommandLine = 2;
inline constexpr int kExitOutputFailed = 3;

// How a run may use the machine. Every setting writes the same bytes to
// every file; `concurrent` off is the plain single-threaded path.
struct RunOptions {
  // The run log is written by a second thread, the tables are read side by side.
  bool concurrent = true;
};

// Performs one whole run for a comma-separated command line: reads the
// tables of the work folder, navigates and writes the result files.
// Returns the process exit status; writes its complaints to standard error.
int RunNavigation(std::string_view commandLine, const RunOptions& options = {});

}  // namespace rill
