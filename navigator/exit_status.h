#pragma once

namespace rill {

// Exit statuses of a single run.
inline constexpr int kExitCompleted = 0;            // whatever the navigation found
inline constexpr int kExitInputMissing = 1;         // an input table cannot be opened
inline constexpr int kExitUnusableCommandLine = 2;  // nothing was read or written
inline constexpr int kExitOutputFailed = 3;         // an output cannot be written, or no memory

}  // namespace rill
