// The three tables of an imported folder, loaded once for map and index.
#pragma once

#include <string>

#include "navigation/navigation.h"

namespace rill::geo {

// The three tables of `folder`, loaded as a navigation loads them (no dump);
// a GeoError when one cannot be read.
NetworkTables LoadTableFolder(const std::string& folder);

}  // namespace rill::geo
