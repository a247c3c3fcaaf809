#pragma once

#include <string>

namespace rill {

// Clears an output file left by an earlier run. Only a regular file (or a
// link to one) is removed: a folder or anything else at the path is left
// untouched, since the run did not write it. Returns true when no such
// thing stands at the path any more, so a new file can be written there;
// false when something the run may not remove is in the way.
bool ClearStaleFile(const std::string& path);

}  // namespace rill
