// rillgeo index: sites, as coordinates, snapped to the nearest flowlines
// and written as a batch REQUESTS table that starts on each site.
#pragma once

#include <cstddef>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/index/index_options.h"

namespace rill::geo {

struct IndexProgress {
  ReadProgress flowlines;  // features of FLOWLINES read
  ReadProgress points;     // points snapped
};

// What an index wrote, for the one line the program prints.
struct IndexSummary {
  std::size_t points = 0;
  std::size_t snapped = 0;
};

// Reads the points, the flowlines and the tables, snaps every point and
// replaces OUT once it is complete. A GeoError when a source cannot be read
// or OUT written, an OptionError when the points cannot be used as asked;
// OUT is left as it was then.
IndexSummary RunIndex(const IndexOptions& options, const IndexProgress& progress);

}  // namespace rill::geo
