#include "rillgeo/import/import_options.h"

#include <CLI/CLI.hpp>

namespace rill::geo {

CLI::App* AddImportCommand(CLI::App& app, ImportOptions& options) {
  CLI::App* command = app.add_subcommand(
      "import",
      "Read NHDPlus flowlines (GeoPackage, FileGDB, shapefile or CSV of the attribute columns) and write "
      "rchdata.txt, flowdata.txt and secdata.txt");
  command->add_option("SOURCE", options.source, "Vector source of the flowlines")->required();
  command->add_option("--to", options.folder, "Folder the tables are written into (created when missing)")->required();
  command->add_option("--layer", options.layer,
                      "Layer of the source that holds the flowlines (default: the only layer, or the first named "
                      "for flowlines)");
  command
      ->add_option_function<std::string>(
          "--by",
          [&options](const std::string& by) {
            options.mapping = by == "reachcode" ? Mapping::ByReachCode : Mapping::ByFlowline;
          },
          "flowline: one reach per flowline (default); reachcode: one reach per reach code, its flowlines as "
          "sections")
      ->check(CLI::IsMember({"flowline", "reachcode"}));
  return command;
}

}  // namespace rill::geo
