// rillgeo map: a navigation's results drawn on the flowlines' lines, as
// GeoJSON, a GeoPackage layer and/or a self-contained web page.
//
// The room holds the web page (html_map.h) and the pages of
// --per-request (per_request_maps.h, safe_names.h); the cutting and the
// GIS formats are the geometry layer's. Its options are in map_options.h.
// It stands on the geometry layer alone, and fails by returning a Status.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "rillgeo/map/map_options.h"
#include "text/status.h"

namespace rill::geo {

// What a map run drew, for the one line the program prints.
struct MapSummary {
  std::size_t rows = 0;
  std::size_t rowsWithoutLine = 0;            // rows whose reach has no line in the source
  std::vector<std::string> codesWithoutLine;  // the first few of their codes
  std::size_t requestPages = 0;               // pages written by --per-request
  std::size_t sitesMarked = 0;                // sites passed marked on the pages (a site once per request)
  std::size_t sitesSkipped = 0;               // rows of the site table not placed on the tables
  std::vector<std::string> sitesNamed;        // the first of them, with why
};

// Reads the results, the tables and the lines, cuts the rows and writes
// every output asked for. A fault when an input cannot be used
// (Fault::InputMissing), when not one row has a line (Fault::Failed: the
// results belong to another network; nothing is then written) or when an
// output cannot be written (Fault::OutputFailed: an output is only ever
// replaced whole).
StatusOr<MapSummary> RunMap(const MapOptions& options);

}  // namespace rill::geo
