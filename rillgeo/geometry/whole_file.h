// Replacing a file only once its new content is complete.
#pragma once

#include <string>

#include "text/status.h"

namespace rill::geo {

// Writes `text` to a temporary file beside `path` and renames it over
// `path`; a fault (Fault::OutputFailed) naming `path` when that fails, with
// nothing left behind.
Status ReplaceFile(const std::string& path, const std::string& text);

}  // namespace rill::geo
