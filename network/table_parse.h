// Cutting a table's text into records, apart from everything that needs the
// other tables or the run log, so that a table can be parsed on another
// thread while the one before it is processed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "network/records.h"
#include "network/table_text.h"

namespace rill {

// A line outside the format, kept to be reported in its place among the
// records: before the record with index `recordsBefore`.
struct SkippedLine {
  std::int32_t line = 0;           // counted from 1 over all lines of the file
  std::int32_t recordsBefore = 0;  // records read before it
  std::string reason;
};

// The records of one table in file order (duplicates included) and the lines
// skipped among them. Flow rows are as written: Dir 710 rows not yet turned,
// Sequence not yet placed.
template <typename Record>
struct ParsedTable {
  std::vector<Record> records;
  std::vector<SkippedLine> skipped;
};

ParsedTable<SectionRecord> ParseSections(TableText& text);
ParsedTable<FlowRecord> ParseFlows(TableText& text);
ParsedTable<ReachRecord> ParseReaches(TableText& text);

}  // namespace rill
