// Entry point of rillgeo: parses the options, runs one command of the
// command table and maps its outcome to the exit status.
#include <CLI/CLI.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "navigation/navigation.h"
#include "rillgeo/command_table.h"
#include "rillgeo/geometry/geometry.h"
#include "rillgeo/rillgeo.h"

namespace {

using namespace rill::geo;

constexpr const char* kStatuses =
    "Exit status: 0 done; 1 a source could not be read, the results have no row with a line in the geometry, or "
    "an output could not be written (nothing partial is left); 2 the options cannot be used (nothing is read or "
    "written); 4 index: not one site snapped (OUT written with every site's note).";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app(
      "Imports NHDPlus flowlines into rillmark's tables, draws navigations on a map, snaps sites to flowlines.",
      "rillgeo");
  app.set_version_flag("--version", std::string("rillgeo ") + RILLGEO_VERSION);
  app.require_subcommand(1);
  app.footer(kStatuses);
  const std::vector<GeoCommand> commands = AddCommands(app);
  for (const GeoCommand& c : commands) c.command->footer(kStatuses);
  const auto parsed = [&]() -> const GeoCommand* {
    for (const GeoCommand& c : commands) {
      if (c.command->parsed()) return &c;
    }
    return nullptr;
  };

  // Someone who typed the bare name is shown the commands, a line each.
  if (argc == 1) {
    std::cerr << app.help() << "Run rillgeo COMMAND --help for a command's options.\n";
    return kWrongOptions;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help, -h, --version
    const GeoCommand* named = parsed();
    const std::string hint = rill::UnknownOptionHint(app, named ? *named->command : app);
    std::cerr << "rillgeo" << (named ? " " + named->command->get_name() : std::string()) << ": "
              << (hint.empty() ? std::string(e.what()) : hint) << '\n';
    return kWrongOptions;
  }

  StartGdal();
  const GeoCommand* command = parsed();
  if (command == nullptr) return kFailed;  // the parse requires one
  const rill::Status outcome = command->run();
  if (!outcome.ok()) std::cerr << "rillgeo " << command->command->get_name() << ": " << outcome.message() << '\n';
  return ExitStatusOf(outcome);
}
