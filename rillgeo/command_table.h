// The commands of rillgeo. Each room declares its command's options and
// their help (its *_options.h) and does the work (its *_command.h); the
// table puts them on the program's command line and joins the work to the
// terminal: the progress line and the one line a command prints when done.
// A new command is one more room and one more entry here.
#pragma once

#include <functional>
#include <vector>

#include "text/status.h"

namespace CLI {
class App;
}  // namespace CLI

namespace rill::geo {

struct GeoCommand {
  CLI::App* command = nullptr;  // the subcommand, its options declared
  // Runs the command with the options parsed: shows its progress and, when
  // it is done, prints its summary. A fault says why it was not done, in
  // the words the program prints after "rillgeo <command>: "; running out
  // of memory (or any other exception a library throws through the work)
  // comes back as a fault too.
  std::function<Status()> run;
};

// Declares every command on `app`, in the order its help lists them; the
// options they fill belong to the entries returned.
std::vector<GeoCommand> AddCommands(CLI::App& app);

}  // namespace rill::geo
