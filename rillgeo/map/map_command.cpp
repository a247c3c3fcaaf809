#include "rillgeo/map/map_command.h"

#include <cctype>
#include <filesystem>
#include <optional>
#include <utility>

#include "navigation/navigation.h"
#include "rillgeo/geometry/navigation_pieces.h"
#include "rillgeo/geometry/table_folder.h"
#include "rillgeo/geometry/vector_output.h"
#include "rillgeo/geometry/whole_file.h"
#include "rillgeo/map/html_map.h"
#include "rillgeo/map/per_request_maps.h"
#include "rillgeo/map/sites_on_map.h"

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
  std::string geometry;
  for (const std::string& source : options.geometry) geometry += (geometry.empty() ? "" : " and ") + source;
  return "none of the " + std::to_string(summary.rows) + " rows has a line in " + geometry + " (first: " + codes +
         "): the results do not belong to this geometry and the tables in " + options.tables;
}

// The site table of --features placed on the tables, and what did not place.
struct MapSites {
  SiteTable table;
  std::optional<PlacedSites> placed;
  FeatureMatch match = FeatureMatch::Exact;
};

StatusOr<MapSites> ReadMapSites(const MapOptions& options, const NetworkTables& tables, MapSummary& summary) {
  MapSites sites;
  StatusOr<SiteTable> table = ReadSiteTable(options.features);
  if (!table.ok()) return table.status();
  sites.table = std::move(*table);
  sites.placed.emplace(sites.table, tables);
  ReadFeatureMatch(options.featureMatch, sites.match);
  summary.sitesSkipped = sites.placed->skipped();
  for (const SkippedSite& s : sites.placed->named())
    summary.sitesNamed.push_back("line " + std::to_string(s.line) + " (site \"" + s.id + "\"): " + s.reason);
  return sites;
}

}  // namespace

StatusOr<MapSummary> RunMap(const MapOptions& options) {
  const StatusOr<ResultRows> results = ReadResults(options.results, options.request);
  if (!results.ok()) return results.status();
  const StatusOr<NetworkTables> tables = LoadTableFolder(options.tables);
  if (!tables.ok()) return tables.status();
  const StatusOr<IdMap> ids = IdMap::ReadFromFolder(options.tables);
  if (!ids.ok()) return ids.status();
  StatusOr<VectorSource> source = VectorSource::Open(options.geometry, options.layer);
  if (!source.ok()) return source.status();
  const StatusOr<FlowlineLines> lines = FlowlineLines::Read(*source);
  if (!lines.ok()) return lines.status();
  GroundCutter cutter;
  const std::string unit = UnitName(options.units);
  const std::string name = std::filesystem::path(options.results).filename().string();

  MapSummary summary;
  std::vector<RequestPieces> requests;
  NavigationPieces pieces;
  const bool whole = !options.geojson.empty() || !options.gpkg.empty() || !options.html.empty();
  if (!options.perRequest.empty()) {
    StatusOr<std::vector<RequestPieces>> cut = CutPerRequest(*results, *tables, *ids, *lines, cutter);
    if (!cut.ok()) return cut.status();
    requests = std::move(*cut);
    for (const RequestPieces& r : requests) CountLineless(r.results, r.pieces, summary);
  }
  if (whole) {
    StatusOr<NavigationPieces> cut = CutNavigation(*results, *tables, *ids, *lines, cutter);
    if (!cut.ok()) return cut.status();
    pieces = std::move(*cut);
    if (options.perRequest.empty()) CountLineless(*results, pieces, summary);
  }
  if (summary.rows > 0 && summary.rowsWithoutLine == summary.rows) {
    return Status(Fault::Failed, NoLineMessage(summary, options));
  }
  std::vector<SiteMark> marks;
  if (!options.features.empty()) {
    StatusOr<MapSites> sites = ReadMapSites(options, *tables, summary);
    if (!sites.ok()) return sites.status();
    const auto mark = [&](const ResultRows& rows, const NavigationPieces& cut) {
      return MarkSitesPassed(rows, cut, *tables, *ids, *lines, cutter, sites->table, *sites->placed, sites->match);
    };
    for (RequestPieces& r : requests) {
      r.sites = mark(r.results, r.pieces);
      summary.sitesMarked += r.sites.size();
    }
    if (whole) {
      marks = mark(*results, pieces);
      if (options.perRequest.empty()) summary.sitesMarked = marks.size();
    }
  }

  // The outputs in this order, up to the first that cannot be written.
  if (!options.perRequest.empty()) {
    PerRequestOutput output{options.perRequest, !options.geojson.empty(), unit, name, {}, {}};
    output.status = ReadRequestStatus(StatusPathOf(options.results));
    if (!options.requests.empty()) {
      StatusOr<std::unordered_map<std::string, std::string>> notes = ReadRequestNotes(options.requests);
      if (!notes.ok()) return notes.status();
      output.notes = std::move(*notes);
    }
    const Status written = WritePerRequestMaps(requests, *lines, output);
    if (!written.ok()) return written;
    summary.requestPages = requests.size();
  }
  if (!options.geojson.empty()) {
    const Status written = WriteVectorFile(options.geojson, VectorFormat::GeoJson, *results, pieces);
    if (!written.ok()) return written;
  }
  if (!options.gpkg.empty()) {
    const Status written = WriteVectorFile(options.gpkg, VectorFormat::GeoPackage, *results, pieces);
    if (!written.ok()) return written;
  }
  if (!options.html.empty()) {
    const std::string title = "Navigation " + name + (options.request.empty() ? "" : " request " + options.request);
    const Status written = ReplaceFile(options.html, HtmlMapPage(title, *results, pieces, *lines, unit, marks));
    if (!written.ok()) return written;
  }
  return summary;
}

}  // namespace rill::geo
