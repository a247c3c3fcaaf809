#include "rillgeo/serve/serve_options.h"

#include <CLI/CLI.hpp>

namespace rill::geo {

CLI::App* AddServeCommand(CLI::App& app, ServeOptions& options) {
  CLI::App* command = app.add_subcommand(
      "serve",
      "Answer navigations over HTTP on this machine: the routes and shapes of the public linked-data service "
      "under /linked-data, and a map page at /");
  command->add_option("--tables", options.tables, "Folder of the tables to navigate")->required();
  command->add_option("--geometry", options.geometry, "Vector source of the flowlines' lines (repeated: several)")
      ->required()
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  command->add_option("--layer", options.layer, "Layer of the geometry source (as for import)");
  command
      ->add_option("--features", options.features,
                   "NAME=SITES: a site table (as the batch reads it) served as the source NAME (repeated)")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  command->add_option("--port", options.port, "TCP port to listen on")->check(CLI::Range(1, 65535));
  command->add_option("--bind", options.bind, "Address to listen on; the default answers this machine only");
  command->add_option("--timeout", options.timeout, "Seconds a request may run before it is stopped and answered 503")
      ->check(CLI::Range(0.001, 86400.0));
  command->add_option("--threads", options.threads, "Requests answered at once (0: one per core, at least 2)")
      ->check(CLI::Range(0, 256));
  command
      ->add_option("--radius", options.radius,
                   "Default radius in metres within which a position snaps to a flowline (as index's --radius)")
      ->check(CLI::PositiveNumber);
  return command;
}

}  // namespace rill::geo
