#include "rillgeo/import/import_command.h"

#include "rillgeo/import/flowline_reader.h"
#include "rillgeo/import/renumber_ids.h"
#include "rillgeo/import/table_files.h"

namespace rill::geo {

StatusOr<ImportSummary> RunImport(const ImportOptions& options, const ReadProgress& progress) {
  StatusOr<VectorSource> source = VectorSource::Open(options.sources, options.layer);
  if (!source.ok()) return source.status();
  const StatusOr<std::vector<Flowline>> flowlines = ReadFlowlines(*source, progress);
  if (!flowlines.ok()) return flowlines.status();
  ImportedTables tables = MapFlowlines(*flowlines, options.mapping);
  const std::vector<RenumberedId> renumbered = RenumberToFit(tables);
  const Status written = WriteTableFolder(options.folder, tables, renumbered);
  if (!written.ok()) return written;
  return ImportSummary{flowlines->size(),   tables.reaches.size(),       tables.flows.size(), tables.sections.size(),
                       !renumbered.empty(), source->withoutAttributes(), source->heldTwice()};
}

}  // namespace rill::geo
