// rillgeo import: NHDPlus flowlines from any vector source GDAL opens into
// the navigator's three tables.
#pragma once

#include <cstddef>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/import/import_options.h"

namespace rill::geo {

// What an import wrote, for the one line the program prints.
struct ImportSummary {
  std::size_t flowlines = 0;
  std::size_t reaches = 0;
  std::size_t flows = 0;
  std::size_t sections = 0;
  bool renumbered = false;
  std::size_t withoutAttributes = 0;  // flowlines left out: no value-added row
  std::size_t heldTwice = 0;          // flowlines left out: an earlier source held their id
};

// Reads the source, maps it and writes the tables (a GeoError when the
// source cannot be used or the folder written; no table is written then).
ImportSummary RunImport(const ImportOptions& options, const ReadProgress& progress);

}  // namespace rill::geo
