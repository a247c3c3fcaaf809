#include "network/table_loader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "network/classify.h"
#include "network/line_fields.h"
#include "network/measure_key.h"
#include "text/number_text.h"

namespace rill {

TablePaths TablePathsFor(const std::string& workPath, const std::string& filePrefix) {
  std::string base = workPath + filePrefix;
  return {base + "rchdata.txt", base + "flowdata.txt", base + "secdata.txt"};
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string content;
  char chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
  // A folder opens on some systems but cannot be read: it is no table.
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return content;
}

namespace {

// Runs the line loop over one table: lines outside the format are reported
// and skipped, the others are handed to `take` already cut into fields.
template <typename Take>
void ForEachRecordLine(const std::string& content, const std::string& path, bool lastCutByLineFeed, TextWriter& log,
                       Take take) {
  LineCursor cursor(content);
  std::string_view line;
  LineFields fields;
  while (cursor.Next(line)) {
    if (line.empty() || line == "\r") continue;
    if (line.size() > kMaxLineLength) {
      log.Print("Line %d of %s was skipped: %s\n", cursor.number(), path, "it is longer than 199 characters");
      continue;
    }
    SplitLine(line, lastCutByLineFeed, fields);
    if (fields.count < 6) {
      std::string reason = "it has ";
      AppendPrintf(reason, "%d of the 6 fields", fields.count);
      log.Print("Line %d of %s was skipped: %s\n", cursor.number(), path, reason);
      continue;
    }
    if (const char* reason = take(fields)) log.Print("Line %d of %s was skipped: %s\n", cursor.number(), path, reason);
  }
}

// An upper bound of the records a table holds, to size its indexes once.
std::size_t LineCount(const std::string& content) {
  return static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n')) + 1;
}

void LoadSections(const std::string& content, const std::string& path, TextWriter& log, NetworkTables& tables) {
  std::unordered_set<MeasureKey, MeasureKeyHash> seen;
  seen.reserve(LineCount(content));
  ForEachRecordLine(content, path, false, log, [&](const LineFields& f) -> const char* {
    SectionRecord s;
    s.F_meas = ReadDecimal(f.field[0]);
    s.T_meas = ReadDecimal(f.field[1]);
    s.Fnode = ReadWhole(f.field[2]);
    s.Tnode = ReadWhole(f.field[3]);
    s.Com_id = ReadWhole(f.field[4]);
    s.Meters = ReadWhole(f.field[5]);
    MeasureKey key{s.Com_id, s.F_meas, s.T_meas};
    if (key.Storable() && !seen.insert(key).second) return nullptr;
    tables.AppendSection(s);
    return nullptr;
  });
}

void LoadFlows(const std::string& content, const std::string& path, TextWriter& log, NetworkTables& tables) {
  IdIndex seen;
  seen.Reserve(LineCount(content));
  ForEachRecordLine(content, path, false, log, [&](const LineFields& f) -> const char* {
    FlowRecord r;
    r.Rel_com_Id = ReadWhole(f.field[0]);
    r.Com_id1 = ReadWhole(f.field[1]);
    r.Com_id2 = ReadWhole(f.field[2]);
    r.Sequence = static_cast<double>(ReadWhole(f.field[3]));
    r.Dir = ReadWhole(f.field[4]);
    r.DLevel = ReadWhole(f.field[5]);
    if (!seen.InsertFirst(r.Rel_com_Id, 0)) return nullptr;
    if (r.Sequence > 0.0) {
      if (tables.SectionsOf(r.Com_id1).empty() || tables.SectionsOf(r.Com_id2).empty()) {
        log.Print("Flow %d: no sections to place the junction, Sequence set to 0\n", r.Rel_com_Id);
        r.Sequence = 0.0;
      } else {
        r.Sequence = JunctionMeasure(tables, r.Com_id1, r.Com_id2, r.Dir, log);
      }
    }
    if (r.Dir == kDirReversed) {
      std::swap(r.Com_id1, r.Com_id2);
      r.Dir = kDirOrdinary;
      r.Orig710 = 1;
    }
    tables.AppendFlow(r);
    return nullptr;
  });
}

bool CopyText(const char* text, char* into, std::size_t capacity) {
  std::size_t n = std::strlen(text);
  if (n >= capacity) return false;
  std::memcpy(into, text, n + 1);
  return true;
}

void LoadReaches(const std::string& content, const std::string& path, TextWriter& log, NetworkTables& tables) {
  IdIndex seen;
  seen.Reserve(LineCount(content));
  ForEachRecordLine(content, path, true, log, [&](const LineFields& f) -> const char* {
    ReachRecord r;
    r.Com_id = ReadWhole(f.field[0]);
    if (!CopyText(f.field[1], r.Rch_code, sizeof r.Rch_code)) return "its Rch_code is longer than 14 characters";
    if (!CopyText(f.field[2], r.Rch_date, sizeof r.Rch_date)) return "its Rch_date is longer than 8 characters";
    r.Level = ReadWhole(f.field[3]);
    r.Meters = ReadWhole(f.field[4]);
    r.Duu_id = ReadWhole(f.field[5]);
    r.Branched = ClassifyBranched(tables, r.Com_id);
    r.Divergent = (r.Branched == 1 || r.Branched == 2) ? ClassifyDivergent(tables, r.Com_id) : std::int16_t{0};
    if (!seen.InsertFirst(r.Com_id, 0)) return nullptr;
    tables.AppendReach(r);
    return nullptr;
  });
}

void WriteCounts(TextWriter& log, std::size_t count, const std::string& path) {
  log.Print("\n");
  log.Print("Successfully read %d records from %s file\n", static_cast<std::int64_t>(count), path);
  log.Print("Subscripts range from 0 to %d\n", static_cast<std::int64_t>(count) - 1);
}

bool Open(const FileReader& read, const std::string& path, const char* name, TextWriter& log, std::string& content) {
  std::optional<std::string> got = read(path);
  if (got) {
    content = std::move(*got);
    return true;
  }
  log.Print("The input file %s was not opened\n", path);
  log.Print("The file %s was not opened.\n", name);
  log.Flush();
  return false;
}

}  // namespace

LoadStatus LoadNetworkTables(const TablePaths& paths, const FileReader& read, TextWriter& log, NetworkTables& tables) {
  log.Print("Rchdata: %s\nFlowdata: %s\nSecdata: %s\n", paths.reach, paths.flow, paths.section);
  std::string content;

  if (!Open(read, paths.section, "secdata.txt", log, content)) return LoadStatus::InputMissing;
  LoadSections(content, paths.section, log, tables);
  log.Print("\n");
  const auto& sections = tables.sections();
  for (std::size_t i = 0; i < sections.size(); ++i) {
    const SectionRecord& s = sections[i];
    log.Print("Subscript: %d, F_meas: %10.5f, T_meas: %10.5f, Fnode: %d, Tnode: %d,Com_id: %d, Meters: %d\n",
              static_cast<std::int64_t>(i), s.F_meas, s.T_meas, s.Fnode, s.Tnode, s.Com_id, s.Meters);
  }
  WriteCounts(log, sections.size(), paths.section);
  tables.SealSections();

  if (!Open(read, paths.flow, "flowdata.txt", log, content)) return LoadStatus::InputMissing;
  LoadFlows(content, paths.flow, log, tables);
  log.Print("\n");
  const auto& flows = tables.flows();
  for (std::size_t i = 0; i < flows.size(); ++i) {
    const FlowRecord& f = flows[i];
    log.Print(
        "Subscript: %d, Rel_com_Id: %10d, Com_id1: %10d, Com_id2: %10d, Sequence: %10.5f, Dir: %3d, "
        "DLevel: %d, Orig 710? %d\n",
        static_cast<std::int64_t>(i), f.Rel_com_Id, f.Com_id1, f.Com_id2, f.Sequence, f.Dir, f.DLevel, f.Orig710);
  }
  WriteCounts(log, flows.size(), paths.flow);
  tables.SealFlows();

  if (!Open(read, paths.reach, "rchdata.txt", log, content)) return LoadStatus::InputMissing;
  LoadReaches(content, paths.reach, log, tables);
  log.Print("\n");
  const auto& reaches = tables.reaches();
  for (std::size_t i = 0; i < reaches.size(); ++i) {
    const ReachRecord& r = reaches[i];
    log.Print(
        "Subscript: %d, Com_id: %10d, Rch_code: %s, Rch_date: %s, Level: %d, Meters: %d, Duu_id: %d, "
        "Branched: %d, Divergent: %d\n",
        static_cast<std::int64_t>(i), r.Com_id, r.Code(), r.Date(), r.Level, r.Meters, r.Duu_id, r.Branched,
        r.Divergent);
  }
  WriteCounts(log, reaches.size(), paths.reach);
  tables.SealReaches();
  return LoadStatus::Loaded;
}

}  // namespace rill
