#include "rillgeo/command_table.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>

#include "navigation/navigation.h"
#include "rillgeo/import/import_command.h"
#include "rillgeo/index/index_command.h"
#include "rillgeo/map/map_command.h"
#include "rillgeo/rillgeo.h"

namespace rill::geo {

namespace {

// A progress line once the work has taken more than a second.
class WorkProgress {
 public:
  explicit WorkProgress(const char* what, const char* done = "read")
      : what_(what), done_(done), started_(std::chrono::steady_clock::now()) {}
  // Ends the line, so that the next one starts on a line of its own.
  void Finish() { line_.End(); }
  void operator()(std::int64_t done, std::int64_t total) {
    if (std::chrono::steady_clock::now() - started_ < std::chrono::seconds(1)) return;
    line_.Show("rillgeo: " + std::to_string(done) + " of " + std::to_string(total) + ' ' + what_ + ' ' + done_);
  }

 private:
  const char* what_;
  const char* done_;
  std::chrono::steady_clock::time_point started_;
  rill::ProgressLine line_{std::cerr};
};

int RunImportCommand(const ImportOptions& options) {
  WorkProgress progress("flowlines");
  const ImportSummary summary =
      RunImport(options, [&](std::int64_t done, std::int64_t total) { progress(done, total); });
  std::cout << "rillgeo import: " << summary.flowlines << " flowlines, " << summary.reaches << " reaches, "
            << summary.flows << " flow rows, " << summary.sections << " sections written to " << options.folder
            << (summary.renumbered ? " (ids renumbered, see idmap.csv)" : "") << '\n';
  return kDone;
}

int RunIndexCommand(const IndexOptions& options) {
  IndexSummary summary;
  {
    WorkProgress flowlines("flowlines");
    WorkProgress points("points", "snapped");
    summary = RunIndex(options, {[&](std::int64_t done, std::int64_t total) { flowlines(done, total); },
                                 [&](std::int64_t done, std::int64_t total) {
                                   flowlines.Finish();
                                   points(done, total);
                                 }});
  }
  std::cerr << "rillgeo index: " << summary.points << " points: " << summary.snapped << " snapped, "
            << summary.points - summary.snapped << " not snapped\n";
  return kDone;
}

int RunMapCommand(const MapOptions& options) {
  const MapSummary summary = RunMap(options);
  std::cout << "rillgeo map: " << summary.rows << " rows drawn";
  if (summary.requestPages > 0) std::cout << " on " << summary.requestPages << " request pages";
  if (summary.rowsWithoutLine > 0) {
    std::cout << ", " << summary.rowsWithoutLine << " of them without a line (first: ";
    for (std::size_t i = 0; i < summary.codesWithoutLine.size(); ++i)
      std::cout << (i > 0 ? ", " : "") << summary.codesWithoutLine[i];
    std::cout << ')';
  }
  std::cout << '\n';
  return kDone;
}

// An entry whose options live as long as its `run`.
template <typename Options, typename Add, typename Run>
GeoCommand Entry(CLI::App& app, Add add, Run run) {
  auto options = std::make_shared<Options>();
  return {add(app, *options), [options, run] { return run(*options); }};
}

}  // namespace

std::vector<GeoCommand> AddCommands(CLI::App& app) {
  std::vector<GeoCommand> commands;
  commands.push_back(Entry<ImportOptions>(app, AddImportCommand, RunImportCommand));
  commands.push_back(Entry<MapOptions>(app, AddMapCommand, RunMapCommand));
  commands.push_back(Entry<IndexOptions>(app, AddIndexCommand, RunIndexCommand));
  return commands;
}

}  // namespace rill::geo
