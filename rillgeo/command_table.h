// The commands of rillgeo. Each room declares its command's options and
// their help (its *_options.h) and does the work (its *_command.h); the
// table puts them on the program's command line and joins the work to the
// terminal: the progress line and the one line a command prints when done.
// A new command (serve/) is one more room and one more entry here.
#pragma once

#include <functional>
#include <vector>

namespace CLI {
class App;
}  // namespace CLI

namespace rill::geo {

struct GeoCommand {
  CLI::App* command = nullptr;  // the subcommand, its options declared
  // Runs the command with the options parsed: shows its progress, prints
  // its summary, and gives the exit status.
  std::function<int()> run;
};

// Declares every command on `app`, in the order its help lists them; the
// options they fill belong to the entries returned.
std::vector<GeoCommand> AddCommands(CLI::App& app);

}  // namespace rill::geo
