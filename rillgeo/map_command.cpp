#include "rillgeo/map_command.h"

#include <filesystem>

#include "navigation/navigation.h"
#include "rillgeo/geo_error.h"
#include "rillgeo/html_map.h"
#include "rillgeo/navigation_pieces.h"
#include "rillgeo/vector_output.h"
#include "rillgeo/whole_file.h"

namespace rill::geo {

namespace {

NetworkTables LoadTables(const std::string& folder) {
  NetworkTables tables;
  TextWriter discard = TextWriter::Discarding();
  if (LoadNetworkTables(TablePathsFor(folder + "/", ""), ReadWholeFile, discard, tables) != LoadStatus::Loaded) {
    throw GeoError("the tables in " + folder + " cannot be read (rchdata.txt, flowdata.txt, secdata.txt)");
  }
  return tables;
}

}  // namespace

CLI::App* AddMapCommand(CLI::App& app, MapOptions& options) {
  CLI::App* command = app.add_subcommand(
      "map",
      "Draw a navigation: cut each result row's stretch out of the flowlines' lines and write it as map "
      "features or a web page");
  command->add_option("RESULTS", options.results, "A run's result CSV, or a batch RESULTS file")->required();
  command->add_option("--tables", options.tables, "Folder of the tables the navigation ran on")->required();
  command->add_option("--geometry", options.geometry, "Vector source of the flowlines' lines")->required();
  command->add_option("--layer", options.layer, "Layer of the geometry source (as for import)");
  command->add_option("--geojson", options.geojson, "Write the pieces as GeoJSON (RFC 7946) to this file");
  command->add_option("--gpkg", options.gpkg, "Write the pieces as a GeoPackage layer to this file");
  command->add_option("--html", options.html, "Write a self-contained map page to this file");
  command->add_option("--request", options.request, "Draw only the rows of this request of a batch RESULTS file");
  command->callback([&options] {
    if (options.geojson.empty() && options.gpkg.empty() && options.html.empty()) {
      throw CLI::ValidationError("--geojson, --gpkg, --html", "name at least one output");
    }
  });
  return command;
}

MapSummary RunMap(const MapOptions& options) {
  const ResultRows results = ReadResults(options.results, options.request);
  const NetworkTables tables = LoadTables(options.tables);
  const IdMap ids = IdMap::ReadFromFolder(options.tables);
  VectorSource source(options.geometry, options.layer);
  const FlowlineLines lines(source);
  GroundCutter cutter;
  const NavigationPieces pieces = CutNavigation(results, tables, ids, lines, cutter);

  if (!options.geojson.empty()) WriteVectorFile(options.geojson, VectorFormat::GeoJson, results, pieces);
  if (!options.gpkg.empty()) WriteVectorFile(options.gpkg, VectorFormat::GeoPackage, results, pieces);
  if (!options.html.empty()) {
    const std::string title = "Navigation " + std::filesystem::path(options.results).filename().string() +
                              (options.request.empty() ? "" : " request " + options.request);
    ReplaceFile(options.html, HtmlMapPage(title, results, pieces, lines));
  }
  return {results.rows.size(), pieces.rowsWithoutLine};
}

}  // namespace rill::geo
