// Fuzz target: a whole navigation in memory.
//
// The input is turned into three small tables and one request: the tables
// start empty, as the sample network of examples/, or as part of it, and
// get rows drawn from pools of ids, codes, nodes and measures chosen to
// meet (so that flows join known reaches, sections chain through shared
// nodes, and loops, self-loops, duplicates, NaN and huge values appear);
// the request takes any navigation type, either direction and measures such
// as 0, 100, 200 and NaN. The tables go through LoadNetworkTables and the
// request through Navigate, twice: both passes must write the same files.
// Navigate must complete (status 0: the scratch folder is writable), and
// ccode.txt must hold four digits that fit the navigation type.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "navigation/navigation.h"
#include "navigator/result_files.h"
#include "network/table_loader.h"

namespace {

constexpr const char* kTarget = "fuzz_navigate";

struct SampleNetwork {
  std::string section, flow, reach;
};

const SampleNetwork& Sample() {
  static const SampleNetwork sample = [] {
    const std::string dir = RILL_EXAMPLES_DIR "/";
    SampleNetwork s;
    s.section = rill::fuzz::ReadFileBytes(dir + "secdata.txt").value_or("");
    s.flow = rill::fuzz::ReadFileBytes(dir + "flowdata.txt").value_or("");
    s.reach = rill::fuzz::ReadFileBytes(dir + "rchdata.txt").value_or("");
    return s;
  }();
  return sample;
}

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

// Ids of the sample network and small ones, so that new rows meet old ones.
constexpr std::array<std::int32_t, 16> kIds = {1,       2,       3,   4,       5,       0,       -1,      kIntMax,
                                               4100011, 4100023, 918, 4100047, 4400033, 4400021, 4600023, 5100013};
constexpr std::array<const char*, 10> kCodes = {
    "A", "B", "C", "D", "E", "41020003000001", "41020003000003", "41020003000004", "41020003000122", "41020004000001"};
constexpr std::array<std::int32_t, 10> kNodes = {1, 2, 3, 4, 5, 6, 3000021, 3000023, 3000027, 3000041};
constexpr std::array<std::int32_t, 7> kDirs = {709, 709, 710, 712, 714, 0, 713};
constexpr std::array<std::int32_t, 6> kLevels = {0, 0, 1, -9999, -9998, 2};
constexpr std::array<std::int32_t, 8> kMeters = {0, 1, 100, 1000, 2400, -5, kIntMax, kIntMin};

std::string Num(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

std::string Num(std::int32_t v) { return std::to_string(v); }

double Measure(FuzzedDataProvider& p) {
  static constexpr std::array<double, 16> kMeasures = {0.0,  100.0, 200.0, 50.0, 37.5, 54.6, 150.0, 160.0,
                                                       -1.0, -5.0,  1e308, -0.0, 75.0, 99.5, 100.5, 0.5};
  switch (p.ConsumeIntegralInRange(0, 9)) {
    case 0:
      return std::numeric_limits<double>::quiet_NaN();
    case 1:
      return p.ConsumeBool() ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
    case 2:
      return p.ConsumeFloatingPointInRange(-10.0, 210.0);
    default:
      return kMeasures[p.ConsumeIntegralInRange<std::size_t>(0, kMeasures.size() - 1)];
  }
}

template <typename T, std::size_t N>
T Pick(FuzzedDataProvider& p, const std::array<T, N>& pool) {
  return pool[p.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

std::int32_t Id(FuzzedDataProvider& p) {
  return p.ConsumeIntegralInRange(0, 15) == 0 ? p.ConsumeIntegral<std::int32_t>() : Pick(p, kIds);
}

// Keeps each line of `text` when the input says so.
std::string SomeLines(FuzzedDataProvider& p, const std::string& text) {
  std::string kept;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    if (p.ConsumeBool()) kept.append(text, start, end - start);
    start = end;
  }
  return kept;
}

struct Tables {
  std::string section, flow, reach;
};

Tables MakeTables(FuzzedDataProvider& p) {
  Tables t;
  switch (p.ConsumeIntegralInRange(0, 2)) {
    case 1:
      t = {Sample().section, Sample().flow, Sample().reach};
      break;
    case 2:
      t.section = SomeLines(p, Sample().section);
      t.flow = SomeLines(p, Sample().flow);
      t.reach = SomeLines(p, Sample().reach);
      break;
    default:
      break;
  }
  std::string sections, flows, reaches;
  for (int n = p.ConsumeIntegralInRange(0, 12); n > 0; --n)
    sections += Num(Measure(p)) + "," + Num(Measure(p)) + "," + Num(Pick(p, kNodes)) + "," + Num(Pick(p, kNodes)) +
                "," + Num(Id(p)) + "," + Num(Pick(p, kMeters)) + "\n";
  for (int n = p.ConsumeIntegralInRange(0, 16); n > 0; --n) {
    std::int32_t sequence = p.ConsumeBool() ? 0 : p.ConsumeIntegralInRange(-5, 210);
    flows += Num(p.ConsumeIntegralInRange(0, 60)) + "," + Num(Id(p)) + "," + Num(Id(p)) + "," + Num(sequence) + "," +
             Num(Pick(p, kDirs)) + "," + Num(Pick(p, kLevels)) + "\n";
  }
  for (int n = p.ConsumeIntegralInRange(0, 10); n > 0; --n)
    reaches += Num(Id(p)) + "," + Pick(p, kCodes) + ",20200101," + Num(p.ConsumeIntegralInRange(0, 3)) + "," +
               Num(Pick(p, kMeters)) + "," + Num(p.ConsumeIntegral<std::int32_t>()) + "\n";
  // New rows before the old ones take over their keys; after them they only add.
  if (p.ConsumeBool()) {
    t.section = sections + t.section;
    t.flow = flows + t.flow;
    t.reach = reaches + t.reach;
  } else {
    t.section += sections;
    t.flow += flows;
    t.reach += reaches;
  }
  return t;
}

rill::CommandLineFields MakeRequest(FuzzedDataProvider& p, const std::string& folder) {
  static constexpr std::array<std::int32_t, 8> kTypes = {1, 2, 3, 4, 5, 1, 0, 6};
  static constexpr std::array<const char*, 4> kDirections = {"U", "D", "U", "X"};
  static constexpr std::array<const char*, 3> kUnits = {"MI", "FT", "M"};
  static constexpr std::array<double, 12> kDistances = {-1.0,  0.0, 0.5,   1.0,  2.5,   10.0,
                                                        100.0, 1e6, 1e300, -5.0, 0.001, 3000.0};
  rill::CommandLineFields r;
  r.NavType = Pick(p, kTypes);
  r.StartReach = Pick(p, kCodes);
  r.StartMeasure = Measure(p);
  r.EndReach = Pick(p, kCodes);
  r.EndMeasure = Measure(p);
  r.Direction = Pick(p, kDirections);
  switch (p.ConsumeIntegralInRange(0, 5)) {
    case 0:
      r.Distance = std::numeric_limits<double>::quiet_NaN();
      break;
    case 1:
      r.Distance = std::numeric_limits<double>::infinity();
      break;
    default:
      r.Distance = Pick(p, kDistances);
  }
  r.DistanceUnits = Pick(p, kUnits);
  r.TraversalOrder = "1";
  r.WorkPath = folder;
  r.OutFile = "out.csv";
  r.FilePrefix = "./";
  r.WholeReachStartMode = static_cast<std::int16_t>(p.ConsumeIntegralInRange(0, 2));
  r.EndAtCUBoundary = static_cast<std::int16_t>(p.ConsumeIntegralInRange(0, 2));
  return r;
}

struct Outputs {
  std::string log, csv, code;
};

Outputs Run(const rill::NetworkTables& tables, rill::CommandLineFields request, const std::string& logPath) {
  const std::string csvPath = request.PathOf(request.OutFile);
  const std::string codePath = request.PathOf("ccode.txt");
  std::remove(csvPath.c_str());
  std::remove(codePath.c_str());
  int status;
  {
    rill::TextWriter log;
    if (!log.Open(logPath)) rill::fuzz::Fail(kTarget, "cannot open " + logPath);
    const rill::Navigation navigation = rill::Navigate(tables, request.Request(), log);
    std::ostringstream errors;
    status = rill::WriteRunEnding(navigation, request, log, errors);
    if (!log.Close()) rill::fuzz::Fail(kTarget, "cannot write " + logPath);
  }
  if (status != 0) rill::fuzz::Fail(kTarget, "Navigate answered " + std::to_string(status));
  Outputs out;
  out.log = rill::fuzz::ReadFileBytes(logPath).value_or("<none>");
  out.csv = rill::fuzz::ReadFileBytes(csvPath).value_or("<none>");
  out.code = rill::fuzz::ReadFileBytes(codePath).value_or("<none>");
  return out;
}

void CheckCode(const Outputs& out, std::int32_t navType) {
  const std::string& c = out.code;
  auto fail = [&](const char* what) { rill::fuzz::Fail(kTarget, std::string(what) + ": ccode.txt is " + c); };
  if (c.size() != 5 || c[3] != '0' || c[4] != '\n') fail("not four digits and a line end");
  if (c[0] != '0' && !(c[0] == '1' && (navType == 3 || navType == 4))) fail("digit 1 for this type");
  if (c[1] != '0' && !(c[1] == '1' && navType == 5)) fail("digit 2 for this type");
  if (c[2] < '0' || c[2] > '4') fail("digit 3");
  if (c[2] == '1' && !out.csv.empty()) fail("a blocked start with records");
  if (out.csv == "<none>") fail("no CSV");
  if (!out.csv.empty() && out.csv.rfind("\"Rch_code\",", 0) != 0) fail("a CSV without its header");
}

// Every CSV line names a reach of the reach table (its second column).
void CheckCsvReaches(const Outputs& out, const rill::NetworkTables& tables) {
  std::size_t start = out.csv.find('\n');
  while (start != std::string::npos && start + 1 < out.csv.size()) {
    const std::size_t end = out.csv.find('\n', start + 1);
    const std::string line = out.csv.substr(start + 1, end - start - 1);
    const std::size_t comma = line.find(',');
    const long comId = comma == std::string::npos ? 0 : std::strtol(line.c_str() + comma + 1, nullptr, 10);
    if (comma == std::string::npos || tables.FindReachByComId(static_cast<std::int32_t>(comId)) < 0)
      rill::fuzz::Fail(kTarget, "a CSV line of no known reach: " + line);
    start = end;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider p(data, size);
  const Tables text = MakeTables(p);
  const std::string folder = rill::fuzz::ScratchFolder();
  rill::CommandLineFields request = MakeRequest(p, folder);

  const rill::TablePaths paths{"rch", "flow", "sec"};
  auto read = [&](const std::string& path) -> std::optional<std::string> {
    if (path == "sec") return text.section;
    if (path == "flow") return text.flow;
    return text.reach;
  };
  rill::NetworkTables tables;
  {
    rill::TextWriter log;
    if (!log.Open(folder + "load.log")) rill::fuzz::Fail(kTarget, "cannot open the load log");
    if (!rill::LoadNetworkTables(paths, read, log, tables).ok())
      rill::fuzz::Fail(kTarget, "tables in memory were not loaded");
  }
  if (request.NavType < 1 || request.NavType > 5) return 0;

  const Outputs first = Run(tables, request, folder + "nav1.log");
  CheckCode(first, request.NavType);
  CheckCsvReaches(first, tables);
  const Outputs second = Run(tables, request, folder + "nav2.log");
  if (first.log != second.log || first.csv != second.csv || first.code != second.code)
    rill::fuzz::Fail(kTarget, "the same navigation wrote different files");
  return 0;
}
