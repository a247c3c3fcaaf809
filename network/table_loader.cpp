#include "network/table_loader.h"

#include <algorithm>
#include <cstring>
#include <span>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#ifdef RILL_THREADS
#include <exception>
#include <future>
#include <thread>
#endif

#include "network/classify.h"
#include "network/id_index.h"
#include "network/keyed_order.h"
#include "network/load_dump.h"
#include "network/measure_key.h"
#include "network/run_both.h"
#include "network/table_parse.h"

namespace rill {

TablePaths TablePathsFor(const std::string& workPath, const std::string& filePrefix) {
  std::string base = workPath + filePrefix;
  return {base + "rchdata.txt", base + "flowdata.txt", base + "secdata.txt"};
}

std::optional<TableText> ReadWholeFile(const std::string& path) { return TableText::Open(path); }

namespace {

// Writes the skipped lines that stood before record `next`, in file order.
class SkipReporter {
 public:
  SkipReporter(const std::vector<SkippedLine>& skipped, const std::string& path, TextWriter& log)
      : skipped_(skipped), path_(path), log_(log) {}
  void Before(std::size_t next) {
    while (at_ < skipped_.size() && static_cast<std::size_t>(skipped_[at_].recordsBefore) <= next) {
      log_.Print("Line %d of %s was skipped: %s\n", skipped_[at_].line, path_, skipped_[at_].reason);
      ++at_;
    }
  }
  void Rest() { Before(static_cast<std::size_t>(-1)); }

 private:
  const std::vector<SkippedLine>& skipped_;
  const std::string& path_;
  TextWriter& log_;
  std::size_t at_ = 0;
};

// Marks every section that repeats the Com_id, F_meas and T_meas of one
// before it in the file (a key holding NaN repeats nothing; -0.0 equals 0.0).
// The sections are put in Com_id order, equal ids in file order, so that the
// sections of one reach are compared with each other alone, in order.
std::vector<bool> RepeatedSections(const std::vector<SectionRecord>& records, const std::vector<std::uint64_t>& keyed) {
  std::vector<bool> repeated(records.size(), false);
  struct Measures {
    double from;
    double to;
    std::int32_t position;
  };
  std::vector<Measures> run;
  for (std::size_t begin = 0, end = 0; begin < keyed.size(); begin = end) {
    for (end = begin + 1; end < keyed.size() && keyed[end] >> 32 == keyed[begin] >> 32;) ++end;
    if (end - begin == 1) continue;
    // Adding 0.0 makes -0.0 plain 0.0, so that equal measures sort together.
    run.clear();
    for (std::size_t p = begin; p < end; ++p) {
      const SectionRecord& s = records[static_cast<std::size_t>(KeyedPosition(keyed[p]))];
      const MeasureKey key{s.Com_id, s.F_meas, s.T_meas};
      if (key.Storable()) run.push_back({s.F_meas + 0.0, s.T_meas + 0.0, KeyedPosition(keyed[p])});
    }
    std::sort(run.begin(), run.end(), [](const Measures& a, const Measures& b) {
      return a.from != b.from ? a.from < b.from : a.to != b.to ? a.to < b.to : a.position < b.position;
    });
    for (std::size_t j = 1; j < run.size(); ++j)
      if (run[j].from == run[j - 1].from && run[j].to == run[j - 1].to)
        repeated[static_cast<std::size_t>(run[j].position)] = true;
  }
  return repeated;
}

// Each loader keeps the records it accepts at the front of the parsed table,
// in file order, and hands the table over whole. The sections' Com_id order,
// sorted once here to find the repeated ones, is handed on for the sections
// to be sealed by (it is the order of the table kept when the tables held
// no sections before).
std::vector<std::uint64_t> LoadSections(ParsedTable<SectionRecord>& parsed, const std::string& path, TextWriter& log,
                                        NetworkTables& tables) {
  std::vector<SectionRecord>& records = parsed.records;
  std::vector<std::uint64_t> keyed = KeyedOrder(records.size(), [&](std::size_t i) { return records[i].Com_id; });
  const std::vector<bool> repeated = RepeatedSections(records, keyed);
  SkipReporter skips(parsed.skipped, path, log);
  std::size_t kept = 0;
  for (std::size_t k = 0; k < records.size(); ++k) {
    skips.Before(k);
    if (repeated[k]) continue;
    records[kept++] = records[k];
  }
  skips.Rest();
  if (kept < records.size()) {
    // The kept sections move forward over the repeated ones before them.
    std::vector<std::int32_t> movedTo(records.size(), -1);
    for (std::size_t k = 0, to = 0; k < records.size(); ++k)
      if (!repeated[k]) movedTo[k] = static_cast<std::int32_t>(to++);
    std::size_t out = 0;
    for (const std::uint64_t q : keyed) {
      const std::int32_t to = movedTo[static_cast<std::size_t>(KeyedPosition(q))];
      if (to >= 0) keyed[out++] = (q & ~std::uint64_t{0xFFFFFFFFu}) | static_cast<std::uint32_t>(to);
    }
    keyed.resize(out);
  }
  records.resize(kept);
  if (!tables.sections().empty()) keyed.clear();
  tables.AppendSections(std::move(records));
  return keyed;
}

// Whether Rel_com_Ids seen before may repeat. Tables number their rows in
// order, so as long as every id is above the last one none can; only from
// the first id out of order on are the ids kept and searched.
class RowIdsSeen {
 public:
  // `before` holds the rows accepted so far.
  bool InsertFirst(std::int32_t id, std::span<const FlowRecord> before) {
    if (ascending_) {
      if (!any_ || id > last_) {
        any_ = true;
        last_ = id;
        return true;
      }
      ascending_ = false;
      seen_.Reserve(before.size() + 1);
      for (const FlowRecord& f : before) seen_.InsertFirst(f.Rel_com_Id, 0);
    }
    return seen_.InsertFirst(id, 0);
  }

 private:
  bool ascending_ = true;
  bool any_ = false;
  std::int32_t last_ = 0;
  IdIndex seen_;
};

// Where a row with a positive Sequence meets the receiving reach, worked out
// before the rows are taken in file order.
struct Junction {
  double measure = 0.0;
  bool placed = false;  // both reaches have sections
  bool traced = false;  // left for the file-order loop, which writes its trace lines
};

// The junctions of the rows with a positive Sequence, in file order. Each
// reads the sections of two reaches at random: on a national network most
// of the flow table's load, and worked on two threads when the load may use
// a second (they only read the sealed sections).
std::vector<Junction> JunctionsOf(const std::vector<FlowRecord>& records, const NetworkTables& tables,
                                  bool concurrent) {
  std::vector<std::uint32_t> rows;
  for (std::size_t k = 0; k < records.size(); ++k)
    if (records[k].Sequence > 0.0) rows.push_back(static_cast<std::uint32_t>(k));
  std::vector<Junction> junctions(rows.size());
  TextWriter silent = TextWriter::Discarding();  // untraced junctions write nothing
  auto work = [&](std::size_t begin, std::size_t end) {
    for (std::size_t j = begin; j < end; ++j) {
      const FlowRecord& r = records[rows[j]];
      Junction& junction = junctions[j];
      if (JunctionTraced(r.Com_id1, r.Com_id2)) {
        junction.traced = true;
      } else if (!tables.SectionsOf(r.Com_id1).empty() && !tables.SectionsOf(r.Com_id2).empty()) {
        junction.measure = JunctionMeasure(tables, r.Com_id1, r.Com_id2, r.Dir, silent);
        junction.placed = true;
      }
    }
  };
  const std::size_t half = rows.size() / 2;
  RunBoth(
      concurrent && rows.size() > 4096, [&] { work(0, half); }, [&] { work(half, rows.size()); });
  return junctions;
}

void LoadFlows(ParsedTable<FlowRecord>& parsed, const std::string& path, TextWriter& log, NetworkTables& tables,
               bool concurrent) {
  std::vector<FlowRecord>& records = parsed.records;
  const std::vector<Junction> junctions = JunctionsOf(records, tables, concurrent);
  std::size_t nextJunction = 0;
  RowIdsSeen seen;
  SkipReporter skips(parsed.skipped, path, log);
  std::size_t kept = 0;
  for (std::size_t k = 0; k < records.size(); ++k) {
    skips.Before(k);
    FlowRecord r = records[k];
    const Junction* junction = r.Sequence > 0.0 ? &junctions[nextJunction++] : nullptr;
    if (!seen.InsertFirst(r.Rel_com_Id, std::span<const FlowRecord>(records.data(), kept))) continue;
    if (junction != nullptr) {
      const bool placed = junction->traced
                              ? !tables.SectionsOf(r.Com_id1).empty() && !tables.SectionsOf(r.Com_id2).empty()
                              : junction->placed;
      if (!placed) {
        log.Print("Flow %d: no sections to place the junction, Sequence set to 0\n", r.Rel_com_Id);
        r.Sequence = 0.0;
      } else {
        r.Sequence = junction->traced ? JunctionMeasure(tables, r.Com_id1, r.Com_id2, r.Dir, log) : junction->measure;
      }
    }
    if (r.Dir == kDirReversed) {
      std::swap(r.Com_id1, r.Com_id2);
      r.Dir = kDirOrdinary;
      r.Orig710 = 1;
    }
    records[kept++] = r;
  }
  skips.Rest();
  records.resize(kept);
  tables.AppendFlows(std::move(records));
}

// The reach table parsed, with its Com_id order (KeyedOrder), worked out
// where it was parsed.
struct KeyedReaches {
  ParsedTable<ReachRecord> parsed;
  std::vector<std::uint64_t> order;
};

void LoadReaches(KeyedReaches& keyed, const std::string& path, TextWriter& log, NetworkTables& tables) {
  ParsedTable<ReachRecord>& parsed = keyed.parsed;
  std::vector<ReachRecord>& records = parsed.records;
  const std::vector<std::size_t> others = tables.ClaimReaches(records, std::move(keyed.order));
  SkipReporter skips(parsed.skipped, path, log);
  std::size_t kept = 0;
  std::size_t other = 0;
  for (std::size_t k = 0; k < records.size(); ++k) {
    skips.Before(k);
    if (other < others.size() && others[other] == k) {
      ++other;
      continue;
    }
    records[kept++] = records[k];
  }
  skips.Rest();
  records.resize(kept);
  tables.AppendReaches(std::move(records));
}

void WriteCounts(TextWriter& log, std::size_t count, const std::string& path) {
  log.Print("\n");
  log.Print("Successfully read %d records from %s file\n", static_cast<std::int64_t>(count), path);
  log.Print("Subscripts range from 0 to %d\n", static_cast<std::int64_t>(count) - 1);
}

template <typename Record>
using MaybeParsed = std::optional<ParsedTable<Record>>;

// A table read and parsed; nothing when it cannot be read.
template <typename Record>
MaybeParsed<Record> ReadAndParse(const FileReader& read, const std::string& path,
                                 ParsedTable<Record> (*parse)(TableText&)) {
  std::optional<TableText> text = read(path);
  if (!text) return std::nullopt;
  ParsedTable<Record> parsed = parse(*text);
  if (text->Failed()) return std::nullopt;
  return parsed;
}

std::optional<KeyedReaches> ReadAndKeyReaches(const FileReader& read, const std::string& path) {
  MaybeParsed<ReachRecord> parsed = ReadAndParse(read, path, ParseReaches);
  if (!parsed) return std::nullopt;
  KeyedReaches keyed{std::move(*parsed), {}};
  const std::vector<ReachRecord>& records = keyed.parsed.records;
  keyed.order = KeyedOrder(records.size(), [&](std::size_t i) { return records[i].Com_id; });
  return keyed;
}

Status ReportMissing(TextWriter& log, const std::string& path, const char* name) {
  log.Print("The input file %s was not opened\n", path);
  log.Print("The file %s was not opened.\n", name);
  log.Flush();
  return Status(Fault::InputMissing, "The input file " + path + " was not opened", path);
}

// The flow and reach tables, read and parsed on a second thread while the
// sections are loaded, or here when they are asked for.
class LaterTables {
 public:
  LaterTables(const TablePaths& paths, const FileReader& read, bool concurrent) : paths_(paths), read_(read) {
#ifdef RILL_THREADS
    if (!concurrent) return;
    concurrent_ = true;
    helper_ = std::jthread([this] {
      Fulfil(flows_, [this] { return ReadAndParse(read_, paths_.flow, ParseFlows); });
      Fulfil(reaches_, [this] { return ReadAndKeyReaches(read_, paths_.reach); });
    });
#else
    (void)concurrent;
#endif
  }
  MaybeParsed<FlowRecord> Flows() {
#ifdef RILL_THREADS
    if (concurrent_) return flows_.get_future().get();
#endif
    return ReadAndParse(read_, paths_.flow, ParseFlows);
  }
  std::optional<KeyedReaches> Reaches() {
#ifdef RILL_THREADS
    if (concurrent_) return reaches_.get_future().get();
#endif
    return ReadAndKeyReaches(read_, paths_.reach);
  }

 private:
  const TablePaths& paths_;
  const FileReader& read_;
#ifdef RILL_THREADS
  template <typename Table, typename Make>
  static void Fulfil(std::promise<Table>& promise, Make make) {
    try {
      promise.set_value(make());
    } catch (...) {
      promise.set_exception(std::current_exception());
    }
  }

  bool concurrent_ = false;
  std::promise<MaybeParsed<FlowRecord>> flows_;
  std::promise<std::optional<KeyedReaches>> reaches_;
  std::jthread helper_;  // last: joined before the promises go
#endif
};

}  // namespace

namespace {

// Keeps a table's skipped lines for a caller that asked for them.
void Note(LoadReport* report, const std::string& path, const std::vector<SkippedLine>& skipped) {
  if (report == nullptr) return;
  for (const SkippedLine& s : skipped) report->skipped.push_back({s.line, path, s.reason});
}

}  // namespace

Status LoadNetworkTables(const TablePaths& paths, const FileReader& read, TextWriter& log, NetworkTables& tables,
                         bool concurrent, LoadReport* report) {
  log.Print("Rchdata: %s\nFlowdata: %s\nSecdata: %s\n", paths.reach, paths.flow, paths.section);
  LaterTables later(paths, read, concurrent);

  MaybeParsed<SectionRecord> parsedSections = ReadAndParse(read, paths.section, ParseSections);
  if (!parsedSections) return ReportMissing(log, paths.section, "secdata.txt");
  Note(report, paths.section, parsedSections->skipped);
  std::vector<std::uint64_t> sectionOrder = LoadSections(*parsedSections, paths.section, log, tables);
  parsedSections.reset();
  log.Print("\n");
  const auto& sections = tables.sections();
  DumpSections(sections, log, concurrent);
  WriteCounts(log, sections.size(), paths.section);
  tables.SealSections(std::move(sectionOrder));

  MaybeParsed<FlowRecord> parsedFlows = later.Flows();
  if (!parsedFlows) return ReportMissing(log, paths.flow, "flowdata.txt");
  Note(report, paths.flow, parsedFlows->skipped);
  LoadFlows(*parsedFlows, paths.flow, log, tables, concurrent);
  parsedFlows.reset();
  log.Print("\n");
  const auto& flows = tables.flows();
  DumpFlows(flows, log, concurrent);
  WriteCounts(log, flows.size(), paths.flow);
  tables.SealFlows(concurrent);

  std::optional<KeyedReaches> parsedReaches = later.Reaches();
  if (!parsedReaches) return ReportMissing(log, paths.reach, "rchdata.txt");
  Note(report, paths.reach, parsedReaches->parsed.skipped);
  LoadReaches(*parsedReaches, paths.reach, log, tables);
  parsedReaches.reset();
  log.Print("\n");
  const auto& reaches = tables.reaches();
  DumpReaches(reaches, log, concurrent);
  WriteCounts(log, reaches.size(), paths.reach);
  tables.SealReaches();
#if defined(__GLIBC__)
  // The texts, keys and orders of the load are gone: their pages go back to
  // the system now rather than stay with the process through its walks.
  malloc_trim(0);
#endif
  return Status::Ok();
}

}  // namespace rill
