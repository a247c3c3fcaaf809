// From a flowline to its section in the tables: the inverse of the way map
// finds a section's flowline, by the two nodes.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "navigation/navigation.h"
#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/id_map.h"

namespace rill::geo {

class LineSections {
 public:
  // Indexes the sections of `tables` by their nodes as the source numbers
  // them (through `ids`). Both must outlive this.
  LineSections(const NetworkTables& tables, const IdMap& ids);

  // The section running between the flowline's nodes, preferring one whose
  // reach has the flowline's own id, else the first in the tables' order;
  // nullptr when none does.
  const SectionRecord* Of(const FlowlineLine& line) const;

 private:
  const NetworkTables& tables_;
  const IdMap& ids_;
  std::unordered_multimap<std::int64_t, std::int32_t> byFromNode_;  // source node -> section index
};

}  // namespace rill::geo
