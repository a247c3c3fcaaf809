// rillgeo index: sites, as coordinates, snapped to the nearest flowlines
// and written as a batch REQUESTS table that starts on each site.
//
// The room holds the reading of the sites (site_source.h) and the table it
// writes (index_table.h); the snapping itself is the geometry layer's. Its
// options are in index_options.h. It stands on the geometry layer alone,
// and fails by returning a Status.
#pragma once

#include <cstddef>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/index/index_options.h"
#include "text/status.h"

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
// replaces OUT once it is complete. A fault when a source cannot be read
// (Fault::InputMissing) or OUT written (Fault::OutputFailed), or when the
// points cannot be used as asked (Fault::Unusable: coordinates beyond what
// their coordinate system holds, or none snapped where some would with x and
// y exchanged); OUT is left as it was then.
StatusOr<IndexSummary> RunIndex(const IndexOptions& options, const IndexProgress& progress);

}  // namespace rill::geo
