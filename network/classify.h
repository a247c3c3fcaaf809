#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "network/network_tables.h"
#include "text/text_writer.h"

namespace rill {

// 0 ordinary reach, 1 branched reach (measures on both sides of 100),
// 2 lake reach with no mainpath (measures only above 100).
std::int16_t ClassifyBranched(const NetworkTables& tables, std::int32_t comId);
std::int16_t BranchedOf(std::span<const SectionRecord> sections);

// 1 when more flow rows leave the reach than enter it.
std::int16_t ClassifyDivergent(const NetworkTables& tables, std::int32_t comId);
std::int16_t DivergentOf(std::size_t rowsIn, std::size_t rowsOut);

// Whether the junction of these two reaches writes its trace lines.
inline bool JunctionTraced(std::int32_t current, std::int32_t receiving) { return current == 918 || receiving == 918; }

// The measure on the receiving reach where the current reach meets it, found
// by matching section end nodes. Both reaches must have sections. Writes the
// junction trace lines when JunctionTraced (either reach is 918), and
// nothing otherwise.
double JunctionMeasure(const NetworkTables& tables, std::int32_t current, std::int32_t receiving, std::int32_t dir,
                       TextWriter& log);

}  // namespace rill
