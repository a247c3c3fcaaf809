// rillgeo import: NHDPlus flowlines from any vector source GDAL opens into
// the navigator's three tables.
//
// The room holds the flowlines' attributes as read (flowline_reader.h), the
// ways of turning them into tables (network_mapping.h), the renumbering of
// ids that do not fit 32 bits, and the writing of the folder, all or
// nothing (table_files.h); its options are in import_options.h. It stands
// on the geometry layer alone, and fails by returning a Status.
#pragma once

#include <cstddef>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/import/import_options.h"
#include "text/status.h"

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

// Reads the source, maps it and writes the tables. A fault when the source
// cannot be used (Fault::InputMissing) or the folder written
// (Fault::OutputFailed); no table is written then.
StatusOr<ImportSummary> RunImport(const ImportOptions& options, const ReadProgress& progress);

}  // namespace rill::geo
