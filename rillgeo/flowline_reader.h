// Reading the flowlines of an NHDPlus source (Version 2 or High
// Resolution) through GDAL.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "rillgeo/flowline.h"
#include "rillgeo/vector_source.h"

namespace rill::geo {

// Called now and then with the features read so far and the layer's count.
using ReadProgress = std::function<void(std::int64_t done, std::int64_t total)>;

// Every feature of the source's layer as a Flowline, in layer order.
// Columns are found by name, letter case ignored. A GeoError names the
// column that is missing, or the column and feature whose value cannot be
// read; nothing is returned then.
std::vector<Flowline> ReadFlowlines(VectorSource& source, const ReadProgress& progress);

}  // namespace rill::geo
