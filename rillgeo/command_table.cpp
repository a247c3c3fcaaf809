#include "rillgeo/command_table.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>
#include <memory>
#include <new>
#include <string>

#include "navigation/navigation.h"
#include "rillgeo/import/import_command.h"
#include "rillgeo/index/index_command.h"
#include "rillgeo/map/map_command.h"
#include "rillgeo/serve/serve_command.h"

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

Status RunImportCommand(const ImportOptions& options) {
  WorkProgress progress("flowlines");
  const StatusOr<ImportSummary> done =
      RunImport(options, [&](std::int64_t read, std::int64_t total) { progress(read, total); });
  if (!done.ok()) return done.status();
  const ImportSummary& summary = *done;
  std::cout << "rillgeo import: " << summary.flowlines << " flowlines, " << summary.reaches << " reaches, "
            << summary.flows << " flow rows, " << summary.sections << " sections written to " << options.folder
            << (summary.renumbered ? " (ids renumbered, see idmap.csv)" : "");
  if (summary.withoutAttributes > 0) {
    std::cout << ", " << summary.withoutAttributes << " flowlines without value-added attributes left out";
  }
  if (summary.heldTwice > 0) std::cout << ", " << summary.heldTwice << " held by two sources imported once";
  std::cout << '\n';
  return Status::Ok();
}

Status RunIndexCommand(const IndexOptions& options) {
  IndexSummary summary;
  {
    WorkProgress flowlines("flowlines");
    WorkProgress points("points", "snapped");
    const StatusOr<IndexSummary> done =
        RunIndex(options, {[&](std::int64_t read, std::int64_t total) { flowlines(read, total); },
                           [&](std::int64_t snapped, std::int64_t total) {
                             flowlines.Finish();
                             points(snapped, total);
                           }});
    if (!done.ok()) return done.status();
    summary = *done;
  }
  std::cerr << "rillgeo index: " << summary.points << " points: " << summary.snapped << " snapped, "
            << summary.points - summary.snapped << " not snapped\n";
  if (summary.points > 0 && summary.snapped == 0) {
    return Status(Fault::NothingNavigated,
                  "not one site snapped to a flowline; every site's note is in " + options.out);
  }
  return Status::Ok();
}

Status RunMapCommand(const MapOptions& options) {
  const StatusOr<MapSummary> done = RunMap(options);
  if (!done.ok()) return done.status();
  const MapSummary& summary = *done;
  std::cout << "rillgeo map: " << summary.rows << " rows drawn";
  if (summary.requestPages > 0) std::cout << " on " << summary.requestPages << " request pages";
  if (summary.rowsWithoutLine > 0) {
    std::cout << ", " << summary.rowsWithoutLine << " of them without a line (first: ";
    for (std::size_t i = 0; i < summary.codesWithoutLine.size(); ++i)
      std::cout << (i > 0 ? ", " : "") << summary.codesWithoutLine[i];
    std::cout << ')';
  }
  if (!options.features.empty())
    std::cout << ", " << summary.sitesMarked << (summary.sitesMarked == 1 ? " site" : " sites") << " passed marked";
  std::cout << '\n';
  if (summary.sitesSkipped > 0) {
    std::cerr << "rillgeo map: " << summary.sitesSkipped << " rows of the site table " << options.features
              << " not placed on the tables\n";
    for (const std::string& named : summary.sitesNamed) std::cerr << "rillgeo map:   " << named << '\n';
    if (summary.sitesSkipped > summary.sitesNamed.size())
      std::cerr << "rillgeo map:   and " << (summary.sitesSkipped - summary.sitesNamed.size()) << " more\n";
  }
  return Status::Ok();
}

Status RunServeCommand(const ServeOptions& options) {
  return RunServe(options, [](const std::string& line) { std::cerr << "rillgeo serve: " << line << std::endl; });
}

// An entry whose options live as long as its `run`. The work throws
// nothing of its own; what a library throws through it (std::bad_alloc
// above all) is caught here, where it would leave the command.
template <typename Options, typename Add, typename Run>
GeoCommand Entry(CLI::App& app, Add add, Run run) {
  auto options = std::make_shared<Options>();
  return {add(app, *options), [options, run]() -> Status {
            try {
              return run(*options);
            } catch (const std::bad_alloc&) {
              return Status(Fault::OutOfMemory, "out of memory");
            } catch (const std::exception& e) {
              return Status(Fault::Failed, e.what());
            }
          }};
}

}  // namespace

std::vector<GeoCommand> AddCommands(CLI::App& app) {
  std::vector<GeoCommand> commands;
  commands.push_back(Entry<ImportOptions>(app, AddImportCommand, RunImportCommand));
  commands.push_back(Entry<MapOptions>(app, AddMapCommand, RunMapCommand));
  commands.push_back(Entry<IndexOptions>(app, AddIndexCommand, RunIndexCommand));
  commands.push_back(Entry<ServeOptions>(app, AddServeCommand, RunServeCommand));
  return commands;
}

}  // namespace rill::geo
