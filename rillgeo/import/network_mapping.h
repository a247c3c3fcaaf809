// The two ways of turning flowlines into the navigator's tables.
#pragma once

#include <vector>

#include "rillgeo/import/flowline.h"
#include "rillgeo/import/table_rows.h"

namespace rill::geo {

enum class Mapping { ByFlowline, ByReachCode };

// One reach per flowline, ordered by reach code, FromMeas and COMID, with
// one 0..100 section each; a row for every pair of flowlines where one ends
// at the node the other starts from, and a Dir 712 row per headwater.
ImportedTables MapByFlowline(const std::vector<Flowline>& flowlines);

// One reach per reach code, its flowlines as sections; rows only between
// different codes, with the junction measure as Sequence where water joins
// or leaves a code inside it.
ImportedTables MapByReachCode(const std::vector<Flowline>& flowlines);

inline ImportedTables MapFlowlines(const std::vector<Flowline>& flowlines, Mapping mapping) {
  return mapping == Mapping::ByFlowline ? MapByFlowline(flowlines) : MapByReachCode(flowlines);
}

}  // namespace rill::geo
