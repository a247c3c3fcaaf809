#include "rillgeo/map/map_command.h"

#include <cctype>
#include <filesystem>

#include "navigation/navigation.h"
#include "rillgeo/geometry/geo_error.h"
#include "rillgeo/geometry/navigation_pieces.h"
#include "rillgeo/geometry/table_folder.h"
#include "rillgeo/geometry/vector_output.h"
#include "rillgeo/geometry/whole_file.h"
#include "rillgeo/map/html_map.h"
#include "rillgeo/map/per_request_maps.h"

namespace rill::geo {

namespace {

// The short name of a distance unit as the batch's DistanceUnits names it.
std::string UnitName(std::string units) {
  for (char& c : units) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return units == "meters" ? "m" : units;
}

constexpr std::size_t kCodesShown = 5;

// Counts the rows without a line and keeps the first few of their codes.
void CountLineless(const ResultRows& results, const NavigationPieces& pieces, MapSummary& summary) {
  summary.rows += results.rows.size();
  summary.rowsWithoutLine += pieces.rowsWithoutLine.size();
  for (std::size_t row : pieces.rowsWithoutLine) {
    if (summary.codesWithoutLine.size() == kCodesShown) break;
    summary.codesWithoutLine.push_back(results.rows[row][results.code >= 0 ? results.code : results.comId]);
  }
}

std::string NoLineMessage(const MapSummary& summary, const MapOptions& options) {
  std::string codes;
  for (const std::string& code : summary.codesWithoutLine) codes += (codes.empty() ? "" : ", ") + code;
  return "none of the " + std::to_string(summary.rows) + " rows has a line in " + options.geometry +
         " (first: " + codes + "): the results do not belong to this geometry and the tables in " + options.tables;
}

}  // namespace

MapSummary RunMap(const MapOptions& options) {
  const ResultRows results = ReadResults(options.results, options.request);
  const NetworkTables tables = LoadTableFolder(options.tables);
  const IdMap ids = IdMap::ReadFromFolder(options.tables);
  VectorSource source(options.geometry, options.layer);
  const FlowlineLines lines(source);
  GroundCutter cutter;
  const std::string unit = UnitName(options.units);
  const std::string name = std::filesystem::path(options.results).filename().string();

  MapSummary summary;
  std::vector<RequestPieces> requests;
  NavigationPieces pieces;
  const bool whole = !options.geojson.empty() || !options.gpkg.empty() || !options.html.empty();
  if (!options.perRequest.empty()) {
    requests = CutPerRequest(results, tables, ids, lines, cutter);
    for (const RequestPieces& r : requests) CountLineless(r.results, r.pieces, summary);
  }
  if (whole) {
    pieces = CutNavigation(results, tables, ids, lines, cutter);
    if (options.perRequest.empty()) CountLineless(results, pieces, summary);
  }
  if (summary.rows > 0 && summary.rowsWithoutLine == summary.rows) throw GeoError(NoLineMessage(summary, options));

  if (!options.perRequest.empty()) {
    PerRequestOutput output{options.perRequest, !options.geojson.empty(), unit, name, {}, {}};
    output.status = ReadRequestStatus(StatusPathOf(options.results));
    if (!options.requests.empty()) output.notes = ReadRequestNotes(options.requests);
    WritePerRequestMaps(requests, lines, output);
    summary.requestPages = requests.size();
  }
  if (!options.geojson.empty()) WriteVectorFile(options.geojson, VectorFormat::GeoJson, results, pieces);
  if (!options.gpkg.empty()) WriteVectorFile(options.gpkg, VectorFormat::GeoPackage, results, pieces);
  if (!options.html.empty()) {
    const std::string title = "Navigation " + name + (options.request.empty() ? "" : " request " + options.request);
    ReplaceFile(options.html, HtmlMapPage(title, results, pieces, lines, unit));
  }
  return summary;
}

}  // namespace rill::geo
