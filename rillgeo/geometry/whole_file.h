// Replacing a file only once its new content is complete.
#pragma once

#include <string>

namespace rill::geo {

// Writes `text` to a temporary file beside `path` and renames it over
// `path`; a GeoError naming `path` when that fails, with nothing left behind.
void ReplaceFile(const std::string& path, const std::string& text);

}  // namespace rill::geo
