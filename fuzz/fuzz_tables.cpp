// Fuzz target: the three table loaders on arbitrary bytes.
//
// The input holds secdata, flowdata and rchdata in that order, separated by
// the marker "%%%%"; a table whose part is missing cannot be opened. Beyond
// "no crash, no undefined behaviour", every load is checked for what the
// tables promise (keys unique, text fields within their sizes, Dir 710
// rows turned, lookups answering the first row in file order), and two
// variants of the input must load exactly alike, run log included:
//  - every table that does not end in a line feed, with one added;
//  - flowdata and secdata with CR LF line ends, when they hold no carriage
//    return and no line reaches 199 characters (a CR makes a line longer).
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "fuzz_support.h"
#include "network/table_loader.h"

namespace {

constexpr const char* kTarget = "fuzz_tables";
constexpr std::string_view kMarker = "%%%%";

struct Input {
  std::optional<std::string> section, flow, reach;
};

Input Split(std::string_view bytes) {
  Input in;
  std::optional<std::string>* parts[3] = {&in.section, &in.flow, &in.reach};
  for (int i = 0; i < 3; ++i) {
    std::size_t at = bytes.find(kMarker);
    *parts[i] = std::string(bytes.substr(0, at));
    if (at == std::string_view::npos) break;
    bytes.remove_prefix(at + kMarker.size());
  }
  return in;
}

struct Loaded {
  rill::Status status;
  rill::NetworkTables tables;
  std::string log;
};

void Load(const Input& in, Loaded& out) {
  const rill::TablePaths paths{"rch", "flow", "sec"};
  auto read = [&](const std::string& path) -> std::optional<std::string> {
    if (path == "sec") return in.section;
    if (path == "flow") return in.flow;
    return in.reach;
  };
  const std::string logPath = rill::fuzz::ScratchFolder() + "tables.log";
  {
    rill::TextWriter log;
    if (!log.Open(logPath)) rill::fuzz::Fail(kTarget, "cannot open " + logPath);
    out.status = rill::LoadNetworkTables(paths, read, log, out.tables);
    if (!log.Close()) rill::fuzz::Fail(kTarget, "cannot write " + logPath);
  }
  out.log = rill::fuzz::ReadFileBytes(logPath).value_or("");
}

void Expect(bool condition, const std::string& what) {
  if (!condition) rill::fuzz::Fail(kTarget, what);
}

bool Terminated(const char* text, std::size_t capacity) { return std::memchr(text, '\0', capacity) != nullptr; }

void CheckTables(const rill::NetworkTables& t) {
  const auto& reaches = t.reaches();
  std::set<std::int32_t> reachIds;
  std::map<std::string, std::int32_t> firstWithCode;
  for (std::size_t i = 0; i < reaches.size(); ++i) {
    const rill::ReachRecord& r = reaches[i];
    Expect(Terminated(r.Rch_code, sizeof r.Rch_code), "an unterminated Rch_code");
    Expect(Terminated(r.Rch_date, sizeof r.Rch_date), "an unterminated Rch_date");
    Expect(reachIds.insert(r.Com_id).second, "two reaches with one Com_id");
    Expect(r.Branched >= 0 && r.Branched <= 2, "Branched out of range");
    Expect(r.Divergent == 0 || (r.Divergent == 1 && r.Branched != 0), "Divergent on an ordinary reach");
    Expect(t.FindReachByComId(r.Com_id) == static_cast<std::int32_t>(i), "FindReachByComId");
    firstWithCode.emplace(std::string(r.Code()), static_cast<std::int32_t>(i));
  }
  for (const auto& [code, index] : firstWithCode)
    Expect(t.FindReachByRchCode(code) == index, "FindReachByRchCode does not find the first reach");

  const auto& flows = t.flows();
  std::set<std::int32_t> relIds;
  std::set<std::int32_t> flowIds;
  for (const rill::FlowRecord& f : flows) {
    Expect(relIds.insert(f.Rel_com_Id).second, "two flow rows with one Rel_com_Id");
    Expect(f.Dir != rill::kDirReversed, "a Dir 710 row left unturned");
    Expect(f.Orig710 == 0 || (f.Orig710 == 1 && f.Dir == rill::kDirOrdinary), "Orig710");
    flowIds.insert(f.Com_id1);
    flowIds.insert(f.Com_id2);
  }
  for (std::int32_t id : flowIds) {
    std::int32_t previous = -1;
    for (std::int32_t row : t.RowsFrom(id)) {
      Expect(row > previous && flows[static_cast<std::size_t>(row)].Com_id1 == id, "RowsFrom");
      previous = row;
    }
    previous = -1;
    for (std::int32_t row : t.RowsInto(id)) {
      Expect(row > previous && flows[static_cast<std::size_t>(row)].Com_id2 == id, "RowsInto");
      previous = row;
    }
  }

  std::set<std::int32_t> sectionIds;
  for (const rill::SectionRecord& s : t.sections()) sectionIds.insert(s.Com_id);
  std::size_t counted = 0;
  for (std::int32_t id : sectionIds) {
    auto of = t.SectionsOf(id);
    counted += of.size();
    for (std::size_t a = 0; a < of.size(); ++a) {
      Expect(of[a].Com_id == id, "SectionsOf gives another reach's section");
      for (std::size_t b = a + 1; b < of.size(); ++b)
        Expect(!(of[a].F_meas == of[b].F_meas && of[a].T_meas == of[b].T_meas), "a duplicate section kept");
    }
  }
  Expect(counted == t.sections().size(), "sections outside SectionsOf");
}

bool EndsWithLineFeed(const std::optional<std::string>& s) { return !s || s->empty() || s->back() == '\n'; }

bool CrLfSafe(const std::optional<std::string>& s) {
  if (!s) return true;
  if (s->find('\r') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= s->size()) {
    std::size_t end = s->find('\n', start);
    if (end == std::string::npos) end = s->size();
    if (end - start >= 199) return false;
    start = end + 1;
  }
  return true;
}

std::optional<std::string> WithCrLf(const std::optional<std::string>& s) {
  if (!s) return s;
  std::string out;
  for (char c : *s) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

void ExpectSameLoad(const Loaded& a, const Loaded& b, const char* variant) {
  Expect(a.status.fault() == b.status.fault() && a.status.message() == b.status.message(),
         std::string(variant) + ": the load status differs");
  Expect(a.log == b.log, std::string(variant) + ": the run log differs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Input in = Split(std::string_view(reinterpret_cast<const char*>(data), size));
  Loaded plain;
  Load(in, plain);
  CheckTables(plain.tables);

  if (!EndsWithLineFeed(in.section) || !EndsWithLineFeed(in.flow) || !EndsWithLineFeed(in.reach)) {
    Input ended = in;
    for (std::optional<std::string>* s : {&ended.section, &ended.flow, &ended.reach})
      if (!EndsWithLineFeed(*s)) s->value().push_back('\n');
    Loaded other;
    Load(ended, other);
    ExpectSameLoad(plain, other, "a final line feed added");
  }

  if (CrLfSafe(in.section) && CrLfSafe(in.flow) && (in.section || in.flow)) {
    Input crlf = in;
    crlf.section = WithCrLf(in.section);
    crlf.flow = WithCrLf(in.flow);
    Loaded other;
    Load(crlf, other);
    ExpectSameLoad(plain, other, "CR LF line ends in flowdata and secdata");
  }
  return 0;
}
