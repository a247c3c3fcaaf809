// The flowlines of a view as the page draws them: a GeoJSON feature
// collection whose lines are thinned to the view's scale.
#pragma once

#include <string>

#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/serve/page/view_index.h"

namespace rill::geo {

// A FeatureCollection of the lines `found` names, in its order, each a
// LineString with its `nhdplus_comid`; points closer than `pixelSpan`
// degrees to the last point kept are dropped (the ends always kept), and
// coordinates carry only the decimals that span shows. `thinned` tells the
// page that lines of the view were left out.
std::string ViewGeoJson(const FlowlineLines& lines, const ViewLines& found, double pixelSpan);

}  // namespace rill::geo
