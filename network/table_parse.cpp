#include "network/table_parse.h"

#include <algorithm>
#include <cstring>

#include "network/line_fields.h"
#include "text/format.h"
#include "text/number_text.h"

namespace rill {

namespace {

// Runs the line loop over one table: lines outside the format are noted and
// skipped, the others are handed to `take` already cut into fields; `take`
// answers why it refused a line, or nullptr.
template <typename Record, typename Take>
ParsedTable<Record> ParseLines(TableText& text, bool lastCutByLineFeed, Take take) {
  ParsedTable<Record> table;
  // An upper bound of the records, to size the table once.
  table.records.reserve(text.lines());
  std::string_view block;
  std::string_view line;
  LineFields fields;
  std::int32_t linesBefore = 0;  // in the blocks before this one
  while (text.NextBlock(block)) {
    LineCursor cursor(block);
    auto skip = [&](std::string reason) {
      table.skipped.push_back(
          {linesBefore + cursor.number(), static_cast<std::int32_t>(table.records.size()), std::move(reason)});
    };
    while (cursor.Next(line)) {
      if (line.empty() || line == "\r") continue;
      if (line.size() > kMaxLineLength) {
        skip("it is longer than 199 characters");
        continue;
      }
      SplitLine(line, lastCutByLineFeed, fields);
      if (fields.count < 6) {
        std::string reason = "it has ";
        AppendPrintf(reason, "%d of the 6 fields", fields.count);
        skip(std::move(reason));
        continue;
      }
      Record record;
      if (const char* reason = take(fields, record))
        skip(reason);
      else
        table.records.push_back(record);
    }
    linesBefore += cursor.number();
  }
  return table;
}

bool CopyText(const char* text, char* into, std::size_t capacity) {
  std::size_t n = std::strlen(text);
  if (n >= capacity) return false;
  std::memcpy(into, text, n + 1);
  return true;
}

}  // namespace

ParsedTable<SectionRecord> ParseSections(TableText& text) {
  return ParseLines<SectionRecord>(text, false, [](const LineFields& f, SectionRecord& s) -> const char* {
    s.F_meas = ReadDecimal(f.field[0]);
    s.T_meas = ReadDecimal(f.field[1]);
    s.Fnode = ReadWhole(f.field[2]);
    s.Tnode = ReadWhole(f.field[3]);
    s.Com_id = ReadWhole(f.field[4]);
    s.Meters = ReadWhole(f.field[5]);
    return nullptr;
  });
}

ParsedTable<FlowRecord> ParseFlows(TableText& text) {
  return ParseLines<FlowRecord>(text, false, [](const LineFields& f, FlowRecord& r) -> const char* {
    r.Rel_com_Id = ReadWhole(f.field[0]);
    r.Com_id1 = ReadWhole(f.field[1]);
    r.Com_id2 = ReadWhole(f.field[2]);
    r.Sequence = static_cast<double>(ReadWhole(f.field[3]));
    r.Dir = ReadWhole(f.field[4]);
    r.DLevel = ReadWhole(f.field[5]);
    return nullptr;
  });
}

ParsedTable<ReachRecord> ParseReaches(TableText& text) {
  return ParseLines<ReachRecord>(text, true, [](const LineFields& f, ReachRecord& r) -> const char* {
    r.Com_id = ReadWhole(f.field[0]);
    if (!CopyText(f.field[1], r.Rch_code, sizeof r.Rch_code)) return "its Rch_code is longer than 14 characters";
    if (!CopyText(f.field[2], r.Rch_date, sizeof r.Rch_date)) return "its Rch_date is longer than 8 characters";
    r.Level = ReadWhole(f.field[3]);
    r.Meters = ReadWhole(f.field[4]);
    r.Duu_id = ReadWhole(f.field[5]);
    return nullptr;
  });
}

}  // namespace rill
