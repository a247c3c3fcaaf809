#include "network/load_dump.h"

#include <algorithm>
#include <string>

#include "network/run_both.h"

namespace rill {

namespace {

// Records per chunk: a few MB of text, small enough to stay warm in memory.
constexpr std::size_t kChunk = 16384;

// Writes line(out, i) for every i below n to the log, in order. Lines are
// independent of each other, so with `concurrent` a second thread formats
// the odd chunks while this one formats and writes the even ones.
template <typename Line>
void WriteLines(TextWriter& log, std::size_t n, bool concurrent, Line line) {
  if (log.Discards()) return;  // a trace nobody reads is not formatted
  std::string even;
  std::string odd;
  auto format = [&](std::string& out, std::size_t begin, std::size_t end) {
    out.clear();
    for (std::size_t i = begin; i < end; ++i) line(out, i);
  };
  for (std::size_t begin = 0; begin < n; begin += 2 * kChunk) {
    const std::size_t middle = std::min(n, begin + kChunk);
    const std::size_t end = std::min(n, begin + 2 * kChunk);
    RunBoth(
        concurrent,
        [&] {
          format(even, begin, middle);
          log.Write(even);
        },
        [&] { format(odd, middle, end); });
    log.Write(odd);
  }
}

}  // namespace

void DumpSections(const std::vector<SectionRecord>& sections, TextWriter& log, bool concurrent) {
  WriteLines(log, sections.size(), concurrent, [&](std::string& out, std::size_t i) {
    const SectionRecord& s = sections[i];
    static constexpr LineFormat kSection{
        "Subscript: %d, F_meas: %10.5f, T_meas: %10.5f, Fnode: %d, Tnode: %d,Com_id: %d, Meters: %d\n"};
    AppendLine(out, kSection, static_cast<std::int64_t>(i), s.F_meas, s.T_meas, s.Fnode, s.Tnode, s.Com_id, s.Meters);
  });
}

void DumpFlows(const std::vector<FlowRecord>& flows, TextWriter& log, bool concurrent) {
  WriteLines(log, flows.size(), concurrent, [&](std::string& out, std::size_t i) {
    const FlowRecord& f = flows[i];
    static constexpr LineFormat kFlow{
        "Subscript: %d, Rel_com_Id: %10d, Com_id1: %10d, Com_id2: %10d, Sequence: %10.5f, Dir: %3d, "
        "DLevel: %d, Orig 710? %d\n"};
    AppendLine(out, kFlow, static_cast<std::int64_t>(i), f.Rel_com_Id, f.Com_id1, f.Com_id2, f.Sequence, f.Dir,
               f.DLevel, f.Orig710);
  });
}

void DumpReaches(const std::vector<ReachRecord>& reaches, TextWriter& log, bool concurrent) {
  WriteLines(log, reaches.size(), concurrent, [&](std::string& out, std::size_t i) {
    const ReachRecord& r = reaches[i];
    static constexpr LineFormat kReach{
        "Subscript: %d, Com_id: %10d, Rch_code: %s, Rch_date: %s, Level: %d, Meters: %d, Duu_id: %d, "
        "Branched: %d, Divergent: %d\n"};
    AppendLine(out, kReach, static_cast<std::int64_t>(i), r.Com_id, r.Code(), r.Date(), r.Level, r.Meters, r.Duu_id,
               r.Branched, r.Divergent);
  });
}

}  // namespace rill
