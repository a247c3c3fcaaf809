// Writing imported tables into a folder, all or nothing.
#pragma once

#include <string>
#include <vector>

#include "rillgeo/import/renumber_ids.h"
#include "rillgeo/import/table_rows.h"

namespace rill::geo {

// The text of each table exactly as the navigator reads it: no header,
// comma-separated, LF line ends; flow rows numbered from 1 in order.
std::string ReachTableText(const ImportedTables& tables);
std::string FlowTableText(const ImportedTables& tables);
std::string SectionTableText(const ImportedTables& tables);
std::string IdMapText(const std::vector<RenumberedId>& renumbered);

// Writes rchdata.txt, flowdata.txt, secdata.txt and, when ids were
// renumbered, idmap.csv into `folder` (created when missing). Everything is
// written under temporary names first and renamed at the end, so a failure
// (a GeoError naming the file) leaves no partial table. A stale idmap.csv
// is removed when no id was renumbered.
void WriteTableFolder(const std::string& folder, const ImportedTables& tables,
                      const std::vector<RenumberedId>& renumbered);

}  // namespace rill::geo
