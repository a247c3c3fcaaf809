// rillgeo: the navigator's companion for GIS data. `import` turns NHDPlus
// flowlines into the three tables; `map` draws a navigation's results on
// the flowlines' lines; `index` snaps sites to flowlines as batch requests.
// It links GDAL and GEOS, so rillmark does not have to.
#pragma once

#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

// Exit statuses of rillgeo.
enum ExitStatus : int {
  kDone = 0,          // the command did its work
  kFailed = 1,        // a source could not be read or an output written
  kWrongOptions = 2,  // the command line cannot be used; nothing was read or written
};

}  // namespace rill::geo
