#include "tests/batch/batch_runs.h"

#include <strings.h>

#include <fstream>
#include <random>
#include <sstream>

#include "tests/support/process.h"

namespace rill::testing {

std::vector<MixedRequest> MixedRequests(const fs::path& folder, int count, std::uint32_t seed) {
  std::vector<std::string> codes;
  std::ifstream reaches(folder / "rchdata.txt");
  for (std::string line; std::getline(reaches, line);) {
    std::stringstream fields(line);
    std::string comId, code;
    if (std::getline(fields, comId, ',') && std::getline(fields, code, ',') && !code.empty()) codes.push_back(code);
  }
  codes.push_back("NOSUCHREACH");
  std::mt19937 random(seed);
  auto pick = [&](const auto& options) { return options[random() % options.size()]; };
  const std::vector<std::string> types = {"1", "2", "3", "4", "5", "5", "0", "7"};
  const std::vector<std::string> measures = {"0", "100", "50", "12.5", "99.99", "", "1e1"};
  const std::vector<std::string> directions = {"U", "D", "U", "D", "X"};
  const std::vector<std::string> distances = {"", "0", "3", "0.5", "12000"};
  const std::vector<std::string> units = {"MI", "FT", "M", ""};
  const std::vector<std::string> switches = {"0", "0", "1", "", "2"};
  std::vector<MixedRequest> out;
  for (int i = 1; i <= count; ++i) {
    MixedRequest r;
    auto& f = r.fields;
    f["Request"] = "r" + std::to_string(i);
    f["NavType"] = pick(types);
    f["StartReach"] = pick(codes);
    f["StartMeasure"] = pick(measures);
    f["EndReach"] = f["NavType"] == "5" ? pick(codes) : "";
    f["EndMeasure"] = pick(measures);
    f["Direction"] = pick(directions);
    f["Distance"] = pick(distances);
    f["DistanceUnits"] = pick(units);
    f["WholeReachStartMode"] = pick(switches);
    f["EndAtCUBoundary"] = pick(switches);
    // An empty field stands for what 0, or an empty text, means to a single run.
    auto or0 = [](const std::string& v) { return v.empty() ? std::string("0") : v; };
    r.single = f["NavType"] + "," + f["StartReach"] + "," + or0(f["StartMeasure"]) + "," +
               (f["EndReach"].empty() ? "X" : f["EndReach"]) + "," + or0(f["EndMeasure"]) + "," + f["Direction"] + "," +
               or0(f["Distance"]) + "," + (f["DistanceUnits"].empty() ? "M" : f["DistanceUnits"]) + ",1";
    r.single += "|" + or0(f["WholeReachStartMode"]) + "," + or0(f["EndAtCUBoundary"]);
    out.push_back(std::move(r));
  }
  return out;
}

std::string RequestsTable(const std::vector<MixedRequest>& requests, const std::vector<std::string>& columns) {
  std::string table;
  for (std::size_t c = 0; c < columns.size(); ++c) table += (c ? "," : "") + columns[c];
  table += "\r\n";
  for (const MixedRequest& r : requests) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      // Column names are matched ignoring case; the fields hold them as written.
      std::string name = columns[c];
      for (const auto& [key, value] : r.fields)
        if (key.size() == name.size() && strncasecmp(key.c_str(), name.c_str(), key.size()) == 0) name = key;
      const auto it = r.fields.find(name);
      table += (c ? "," : "") + std::string(c % 2 ? "\"" : "") + (it == r.fields.end() ? "" : it->second) +
               std::string(c % 2 ? "\"" : "");
    }
    table += "\n";
  }
  return table;
}

int RunBatch(const fs::path& dir, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv = {RILL_RILLMARK_EXE, "batch"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const ProcessResult r = RunProcess(argv, dir, dir / "stdout.txt", dir / "stderr.txt", 300.0);
  return r.exited ? r.status : -1;
}

SingleOutcome RunSingle(const std::string& id, const std::string& commandLine, const fs::path& work) {
  const std::size_t bar = commandLine.find('|');
  const std::string line =
      commandLine.substr(0, bar) + "," + work.string() + "/,single.csv,./," + commandLine.substr(bar + 1);
  // A run of a type outside 1..5 leaves an earlier run's ccode.txt alone.
  fs::remove(work / "ccode.txt");
  const ProcessResult r = RunProcess({RILL_RILLMARK_EXE, line}, work, work / "stdout.txt", work / "stderr.txt", 60.0);
  SingleOutcome out;
  const std::string quoted = "\"" + id + "\"";
  std::istringstream csv(ReadAll(work / "single.csv"));
  std::string row;
  for (bool header = true; std::getline(csv, row); header = false)
    if (!header) out.rows += quoted + "," + row + "\n";
  std::string code = ReadAll(work / "ccode.txt");
  if (!code.empty()) code = "\"" + code.substr(0, 4) + "\"";
  out.statusLine = quoted + "," + std::to_string(r.exited ? r.status : -1) + "," + code + ",";
  fs::remove(work / "single.csv");
  return out;
}

std::map<std::string, std::string> LinesById(const std::string& table) {
  std::map<std::string, std::string> lines;
  std::istringstream in(table);
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) lines[line.substr(0, line.find("\","))] += line + "\n";
  return lines;
}

}  // namespace rill::testing
