// Helpers for tests that need a small river network in memory: the three
// tables are given as file text and loaded through LoadNetworkTables, the run
// log goes to a file in a scratch folder and can be read back at any time;
// and what such tests compare: recorded pieces and the result CSV.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "mainstem/add_reach_result.h"
#include "navstate/nav_state.h"
#include "navstate/walk_request.h"
#include "network/network_tables.h"
#include "network/table_loader.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "text/text_writer.h"

namespace rill::testing {

// A run log on a scratch file; Text() flushes and gives everything written.
class LogFile {
 public:
  LogFile() { writer_.Open((dir_.path() / "message.out").string()); }
  TextWriter& writer() { return writer_; }
  std::string Text() {
    writer_.Flush();
    return ReadAll(dir_.path() / "message.out");
  }
  // Everything written since the last call of Fresh().
  std::string Fresh() {
    std::string all = Text();
    std::string news = all.substr(std::min(seen_, all.size()));
    seen_ = all.size();
    return news;
  }

 private:
  ScratchDir dir_;
  TextWriter writer_;
  std::size_t seen_ = 0;
};

// The table paths the in-memory loads use; they appear in the load dump.
inline TablePaths MemoryPaths() { return {"W/rchdata.txt", "W/flowdata.txt", "W/secdata.txt"}; }

// Tables loaded from text, with the log of the load.
struct LoadedNet {
  NetworkTables tables;
  Status status;
  std::string loadLog;
  LoadReport report;
};

inline std::unique_ptr<LoadedNet> LoadNet(std::string_view sections, std::string_view flows, std::string_view reaches,
                                          bool concurrent = false) {
  auto net = std::make_unique<LoadedNet>();
  const TablePaths paths = MemoryPaths();
  std::map<std::string, std::string> files = {
      {paths.section, std::string(sections)},
      {paths.flow, std::string(flows)},
      {paths.reach, std::string(reaches)},
  };
  LogFile log;
  net->status = LoadNetworkTables(
      paths,
      [&](const std::string& path) -> std::optional<std::string> {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
      },
      log.writer(), net->tables, concurrent, &net->report);
  net->loadLog = log.Text();
  return net;
}

// One navigation pass over loaded tables: fresh state, its own run log.
class Pass {
 public:
  explicit Pass(const NetworkTables& tables) : ctx_{tables, state_, log_.writer()} {}
  NavContext& ctx() { return ctx_; }
  NavState& state() { return state_; }
  // Log lines written since the last call.
  std::string Log() { return log_.Fresh(); }

 private:
  NavState state_;
  LogFile log_;
  NavContext ctx_;
};

// A point named by its code, on the first reach of that code.
inline ReachPoint CodePoint(const NetworkTables& tables, std::string_view code, double measure) {
  return ReachPoint{tables.FindReachByRchCode(code), code, false, measure};
}

// A walk as a legacy command line's fields give it: NavType, points by code,
// direction "U" or "D", the limit in meters, units by the legacy rule and
// WholeReachStartMode.
inline WalkRequest LegacyWalk(const NetworkTables& tables, std::int32_t navType, std::string_view startCode,
                              double startMeasure, std::string_view endCode, double endMeasure,
                              std::string_view direction, double distance, std::string_view units,
                              std::int16_t wholeReachStartMode) {
  WalkRequest walk;
  walk.kind = NavKindOf(navType);
  walk.start = CodePoint(tables, startCode, startMeasure);
  if (walk.kind == NavKind::PointToPoint) walk.end = CodePoint(tables, endCode, endMeasure);
  walk.direction = direction == "U" ? Direction::Up : direction == "D" ? Direction::Down : Direction::Other;
  walk.distanceLimit = distance;
  walk.units = units == "MI" ? DistanceUnit::Miles : units == "FT" ? DistanceUnit::Feet : DistanceUnit::Meters;
  walk.startMode = StartReachModeOf(wholeReachStartMode);
  return walk;
}

// One reach's passage request, as a walk of these legacy fields gives it.
inline PassageRequest LegacyPassage(std::int32_t navType, std::string_view startCode, double startMeasure,
                                    std::string_view endCode, double endMeasure, std::string_view direction,
                                    double limit, std::string_view units) {
  // Points named by code are told by their codes alone.
  const WalkRequest walk = LegacyWalk(NetworkTables{}, navType, "", 0.0, "", 0.0, direction, limit, units, 0);
  PassageRequest passage{walk.kind, ReachPoint{-1, startCode, false, startMeasure}, kNoPoint, walk.direction, limit,
                         walk.units};
  if (!endCode.empty()) passage.end = ReachPoint{-1, endCode, false, endMeasure};
  return passage;
}

// Runs a program with one argument in a folder; gives its exit status (-1
// when it did not exit normally within the time allowed) and fills its
// standard error.
inline int RunProgram(const std::string& program, const std::string& argument, const fs::path& cwd,
                      std::string* standardError = nullptr) {
  constexpr double kSecondsAllowed = 300.0;
  ScratchDir streams;
  const ProcessResult run = RunProcess({program, argument}, cwd, streams.path() / "stdout.txt",
                                       streams.path() / "stderr.txt", kSecondsAllowed);
  if (standardError) *standardError = ReadAll(streams.path() / "stderr.txt");
  return run.exited ? run.status : -1;
}

// A recorded special-case piece in a form EXPECT_EQ can compare and print;
// two measures are equal also when both are NaN.
struct Piece {
  std::int32_t comId;
  double from;
  double to;
  double meters;
  bool operator==(const Piece& other) const {
    auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    return comId == other.comId && same(from, other.from) && same(to, other.to) && meters == other.meters;
  }
};
using Pieces = std::vector<Piece>;

inline std::ostream& operator<<(std::ostream& out, const Piece& p) {
  return out << "{" << p.comId << ", " << p.from << ", " << p.to << ", " << p.meters << "}";
}

// The pieces of a list in their recording order.
inline Pieces PiecesOf(const SpecialCaseList& list) {
  Pieces pieces;
  for (const SpecialCaseRecord& e : list.entries()) pieces.push_back({e.Com_id, e.f_meas, e.t_meas, e.meters});
  return pieces;
}

// The first line of every result CSV that has records.
inline const std::string kCsvHeader =
    "\"Rch_code\",\"Com_id\",\"Rch_date\",\"Duu_id\",\"FromMeasure\",\"ToMeasure\",\"Distance\",\"RchLength\"\n";

}  // namespace rill::testing
