// rillgeo index: sites, as coordinates, snapped to the nearest flowlines
// and written as a batch REQUESTS table that starts on each site.
#pragma once

#include <CLI/CLI.hpp>
#include <cstddef>
#include <string>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/index/site_source.h"

namespace rill::geo {

struct IndexOptions {
  SiteOptions sites;
  std::string geometry;
  std::string layer;
  std::string tables;
  std::string out;
  double radius = 200.0;
  std::size_t matches = 1;
  // The request columns, written when navType is not empty.
  std::string navType;
  std::string direction;
  std::string distance;
  std::string units;
};

struct IndexProgress {
  ReadProgress flowlines;  // features of FLOWLINES read
  ReadProgress points;     // points snapped
};

// What an index wrote, for the one line the program prints.
struct IndexSummary {
  std::size_t points = 0;
  std::size_t snapped = 0;
};

// Declares the command and its options, with their help, on `app`.
CLI::App* AddIndexCommand(CLI::App& app, IndexOptions& options);

// Reads the points, the flowlines and the tables, snaps every point and
// replaces OUT once it is complete. A GeoError when a source cannot be read
// or OUT written, an OptionError when the points cannot be used as asked;
// OUT is left as it was then.
IndexSummary RunIndex(const IndexOptions& options, const IndexProgress& progress);

}  // namespace rill::geo
