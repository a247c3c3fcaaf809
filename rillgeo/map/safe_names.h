// File names made from request ids, for the pages of `map --per-request`.
#pragma once

#include <string>
#include <vector>

namespace rill::geo {

// One file name stem per id, in order: the id's letters, digits, '-', '_'
// and '.' kept, every other byte (a blank, a slash, a quote) as '_', at most
// 80 bytes, never starting with '.', never empty and never "index" (the
// index page's). Two ids whose stems would be the same, letter case ignored,
// as on a file system that ignores it, get "-2", "-3", ... after the later
// ones, so every stem is unique.
std::vector<std::string> SafeFileStems(const std::vector<std::string>& ids);

}  // namespace rill::geo
