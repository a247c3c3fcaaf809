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
};

// Reads the source, maps it and writes the tables (a GeoError when the
// source cannot be used or the folder written; no table is written then).
ImportSummary RunImport(const ImportOptions& options, const ReadProgress& progress);

}  // namespace rill::geo
