// rillgeo map: a navigation's results drawn on the flowlines' lines, as
// GeoJSON, a GeoPackage layer and/or a self-contained web page.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "rillgeo/map/map_options.h"

namespace rill::geo {

// What a map run drew, for the one line the program prints.
struct MapSummary {
  std::size_t rows = 0;
  std::size_t rowsWithoutLine = 0;            // rows whose reach has no line in the source
  std::vector<std::string> codesWithoutLine;  // the first few of their codes
  std::size_t requestPages = 0;               // pages written by --per-request
};

// Reads the results, the tables and the lines, cuts the rows and writes
// every output asked for. A GeoError when an input cannot be used, when
// not one row has a line (the results belong to another network; nothing
// is then written) or an output cannot be written (an output is only ever
// replaced whole).
MapSummary RunMap(const MapOptions& options);

}  // namespace rill::geo
