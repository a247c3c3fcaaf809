// The name a mistyped one was most likely meant to be, for the hint of a
// complaint about an unknown option ("--thread: did you mean --threads?").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rill {

// The name among `names` with the fewest single-character insertions,
// deletions and substitutions from `typed`, letter case ignored; the first
// such name on a tie. Empty when no name is within a third of the typed
// name's length, so that a wild guess is never offered.
std::string NearestName(std::string_view typed, const std::vector<std::string>& names);

}  // namespace rill
