#include "rillgeo/import/import_command.h"

#include "rillgeo/import/flowline_reader.h"
#include "rillgeo/import/renumber_ids.h"
#include "rillgeo/import/table_files.h"

namespace rill::geo {

ImportSummary RunImport(const ImportOptions& options, const ReadProgress& progress) {
  VectorSource source(options.source, options.layer);
  const std::vector<Flowline> flowlines = ReadFlowlines(source, progress);
  ImportedTables tables = MapFlowlines(flowlines, options.mapping);
  const std::vector<RenumberedId> renumbered = RenumberToFit(tables);
  WriteTableFolder(options.folder, tables, renumbered);
  return {flowlines.size(), tables.reaches.size(), tables.flows.size(), tables.sections.size(), !renumbered.empty()};
}

}  // namespace rill::geo
