// Fitting identifiers into the tables' 32-bit fields. NHDPlus High
// Resolution numbers flowlines, nodes and hydrosequences with 14 digits.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "rillgeo/import/table_rows.h"

namespace rill::geo {

// One renumbered identifier: which field it belongs to ("Com_id", "Node",
// "Hydroseq"), its number in the tables and in the source.
struct RenumberedId {
  std::string field;
  std::int64_t tableId = 0;
  std::int64_t sourceId = 0;
};

// For each field whose values do not all fit 32 bits, numbers its distinct
// values 1, 2, ... in ascending order (so every order the tables follow is
// kept) and rewrites the tables. Returns what was renumbered, every Com_id
// first; empty when every identifier fits and nothing changed.
std::vector<RenumberedId> RenumberToFit(ImportedTables& tables);

}  // namespace rill::geo
