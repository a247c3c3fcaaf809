#include "rillgeo/map/map_options.h"

#include <CLI/CLI.hpp>

namespace rill::geo {

CLI::App* AddMapCommand(CLI::App& app, MapOptions& options) {
  CLI::App* command = app.add_subcommand(
      "map",
      "Draw a navigation: cut each result row's stretch out of the flowlines' lines and write it as map "
      "features or a web page");
  command->add_option("RESULTS", options.results, "A run's result CSV, or a batch RESULTS file")->required();
  command->add_option("--tables", options.tables, "Folder of the tables the navigation ran on")->required();
  command->add_option("--geometry", options.geometry, "Vector source of the flowlines' lines (repeated: several)")
      ->required()
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  command->add_option("--layer", options.layer, "Layer of the geometry source (as for import)");
  command->add_option("--geojson", options.geojson, "Write the pieces as GeoJSON (RFC 7946) to this file");
  command->add_option("--gpkg", options.gpkg, "Write the pieces as a GeoPackage layer to this file");
  command->add_option("--html", options.html, "Write a self-contained map page to this file");
  command->add_option("--request", options.request, "Draw only the rows of this request of a batch RESULTS file");
  command->add_option("--per-request", options.perRequest,
                      "Write one page per request of a batch RESULTS file into this folder, with index.html "
                      "listing them (and with --geojson one GeoJSON file per request too)");
  command->add_option("--requests", options.requests,
                      "With --per-request: the batch's REQUESTS table; the index page gives the Note of each "
                      "request that left no row (rillgeo index says there why a site was not snapped)");
  command->add_option("--features", options.features,
                      "A site table (as rillmark batch --features takes it): the sites each navigation passes are "
                      "marked on the pages, labelled with their id and travel distance");
  command
      ->add_option("--feature-match", options.featureMatch,
                   "exact (default): a site by its measure; reach: every site on a reach passed, where the walk "
                   "enters the reach")
      ->check(CLI::IsMember({"exact", "reach"}));
  command
      ->add_option("--units", options.units,
                   "MI, FT, M or KM: the unit of the navigation's distances, shown in the hover tips, the legend, "
                   "the scale bar and the index")
      ->check(CLI::IsMember({"MI", "FT", "M", "METERS", "KM"}, CLI::ignore_case));
  command->callback([&options] {
    if (options.geojson.empty() && options.gpkg.empty() && options.html.empty() && options.perRequest.empty()) {
      throw CLI::ValidationError("--geojson, --gpkg, --html, --per-request", "name at least one output");
    }
  });
  return command;
}

}  // namespace rill::geo
