#pragma once

#include <atomic>

namespace rill {

inline constexpr const char* kRillmarkVersion = "1.1.0";

// Whether the arguments are for the named-option interface: the first one is
// `batch`, `--help` (or `-h`) or `--version`. A legacy command line never starts so,
// its first field being a number.
bool IsOptionCommandLine(int argc, const char* const* argv);

// Runs `rillmark batch ...`, `--help` or `--version`: help and version go to
// standard output, a one-line complaint about an option to standard error
// (status 2), the batch's progress and failures to standard error. Returns
// the exit status; `stop` ends a batch early.
int RunOptionCommandLine(int argc, const char* const* argv, const std::atomic<bool>& stop);

}  // namespace rill
