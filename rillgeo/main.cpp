// Entry point of rillgeo: parses the options, runs one command and maps
// its outcome to the exit status.
#include <chrono>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "navigation/navigation.h"
#include "rillgeo/rillgeo.h"

namespace {

using namespace rill::geo;

constexpr const char* kStatuses =
    "Exit status: 0 done; 1 a source could not be read, the results have no row with a line in the geometry, or "
    "an output could not be written (nothing partial is left); 2 the options cannot be used (nothing is read or "
    "written).";

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

}  // namespace

int main(int argc, char** argv) {
  CLI::App app(
      "Imports NHDPlus flowlines into rillmark's tables, draws navigations on a map, snaps sites to flowlines.",
      "rillgeo");
  app.set_version_flag("--version", std::string("rillgeo ") + RILLGEO_VERSION);
  app.require_subcommand(1);
  app.footer(kStatuses);
  ImportOptions importOptions;
  CLI::App* import = AddImportCommand(app, importOptions);
  import->footer(kStatuses);
  MapOptions mapOptions;
  CLI::App* map = AddMapCommand(app, mapOptions);
  map->footer(kStatuses);
  IndexOptions indexOptions;
  CLI::App* index = AddIndexCommand(app, indexOptions);
  index->footer(kStatuses);

  // Someone who typed the bare name is shown the commands, a line each.
  if (argc == 1) {
    std::cerr << app.help() << "Run rillgeo COMMAND --help for a command's options.\n";
    return kWrongOptions;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help, -h, --version
    CLI::App* named = import->parsed() ? import : map->parsed() ? map : index->parsed() ? index : nullptr;
    const std::string hint = rill::UnknownOptionHint(app, named ? *named : app);
    std::cerr << "rillgeo" << (named ? " " + named->get_name() : std::string()) << ": "
              << (hint.empty() ? std::string(e.what()) : hint) << '\n';
    return kWrongOptions;
  }

  StartGdal();
  const char* name = import->parsed() ? "import" : map->parsed() ? "map" : "index";
  try {
    if (import->parsed()) return RunImportCommand(importOptions);
    if (map->parsed()) return RunMapCommand(mapOptions);
    if (index->parsed()) return RunIndexCommand(indexOptions);
  } catch (const OptionError& e) {
    std::cerr << "rillgeo " << name << ": " << e.what() << '\n';
    return kWrongOptions;
  } catch (const GeoError& e) {
    std::cerr << "rillgeo " << name << ": " << e.what() << '\n';
    return kFailed;
  } catch (const std::bad_alloc&) {
    std::cerr << "rillgeo " << name << ": out of memory\n";
    return kFailed;
  } catch (const std::exception& e) {
    // A file-system or library failure no command foresaw: still a message, not an abort.
    std::cerr << "rillgeo " << name << ": " << e.what() << '\n';
    return kFailed;
  }
  return kFailed;
}
