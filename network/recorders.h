#pragma once

#include <cstdint>

#include "network/network_tables.h"
#include "network/piece_list.h"

namespace rill {

// Recorders of the pieces a walk really passes in reaches it does not pass
// whole. Each appends to `list` and reads the tables only.

// A reach entered at a junction in its interior at measure m: the piece from
// m up to 100 (upward) or down to 0.
void RecordInteriorJunction(const NetworkTables& tables, SpecialCaseList& list, std::int32_t comId, double m,
                            bool upward);

// Reach a flows into branched reach b: the chain of branch pieces from where
// a joins b down to b's main range. Sets `fallbackUsed` when a piece had to
// be found against its flow direction.
void RecordBranchedEntry(const NetworkTables& tables, SpecialCaseList& list, std::int32_t a, std::int32_t b,
                         std::int16_t& fallbackUsed);

// Reach a flows into lake reach b: b's sections followed downstream from
// where a joins it.
void RecordLakeEntry(const NetworkTables& tables, SpecialCaseList& list, std::int32_t a, std::int32_t b);

// A downstream walk starting at measure m inside branched reach c: the part
// of the start section below m, then the sections downstream of it.
void RecordStartSections(const NetworkTables& tables, SpecialCaseList& list, std::int32_t c, double m);

}  // namespace rill
