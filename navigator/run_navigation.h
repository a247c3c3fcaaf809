#pragma once

#include <string_view>

namespace rill {

// Exit statuses of the navigator.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitInputMissing = 1;
inline constexpr int kExitUnusableCommandLine = 2;
inline constexpr int kExitOutputFailed = 3;

// Performs one whole run for a comma-separated command line: reads the
// tables of the work folder, navigates and writes the result files.
// Returns the process exit status; writes its complaints to standard error.
int RunNavigation(std::string_view commandLine);

}  // namespace rill
