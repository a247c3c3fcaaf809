// Reading the flowlines of an NHDPlus source (Version 2 or High
// Resolution) through GDAL.
#pragma once

#include <vector>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/import/flowline.h"

namespace rill::geo {

// Every feature of the source's layer as a Flowline, in layer order.
// Columns are found by name, letter case ignored. A GeoError names the
// column that is missing, or the column and feature whose value cannot be
// read; nothing is returned then.
std::vector<Flowline> ReadFlowlines(VectorSource& source, const ReadProgress& progress);

}  // namespace rill::geo
