#include "rillgeo/index/index_command.h"

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "navigation/navigation.h"
#include "rillgeo/geometry/decimal_text.h"
#include "rillgeo/geometry/geo_error.h"
#include "rillgeo/geometry/line_sections.h"
#include "rillgeo/geometry/line_snapper.h"
#include "rillgeo/geometry/table_folder.h"
#include "rillgeo/geometry/whole_file.h"
#include "rillgeo/index/index_table.h"

namespace rill::geo {

namespace {

std::string Fixed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::vector<std::string> SplitNames(const std::string& list) {
  std::vector<std::string> names;
  std::istringstream in(list);
  for (std::string name; std::getline(in, name, ',');) {
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

// The mode's type and direction: main path or whole network, up or down;
// up to a distance when one is given.
void ApplyMode(const std::string& mode, IndexOptions& options) {
  const bool limited = !options.distance.empty();
  const bool mainPath = mode[1] == 'M';
  options.navType = std::to_string((mainPath ? 1 : 2) + (limited ? 2 : 0));
  options.direction = mode.substr(0, 1);
}

void CheckRequestOptions(IndexOptions& options, const std::string& mode) {
  if (!mode.empty()) {
    if (!options.navType.empty() || !options.direction.empty()) {
      throw CLI::ValidationError("--mode", "give either --mode or --nav-type with --direction");
    }
    ApplyMode(mode, options);
  }
  if (options.navType.empty()) {
    if (!options.direction.empty() || !options.distance.empty() || !options.units.empty()) {
      throw CLI::ValidationError("--nav-type", "--direction, --distance and --units need --nav-type or --mode");
    }
    return;
  }
  if (options.direction.empty()) throw CLI::ValidationError("--direction", "--nav-type needs --direction U or D");
  const bool limited = options.navType == "3" || options.navType == "4";
  if (limited != !options.distance.empty()) {
    throw CLI::ValidationError("--distance", "types 3 and 4, and they only, take --distance");
  }
  if (!options.units.empty() && options.distance.empty()) {
    throw CLI::ValidationError("--units", "--units goes with --distance");
  }
  if (limited && options.units.empty()) options.units = "M";
}

SnapFields Unsnapped(std::string note) {
  SnapFields fields;
  fields.note = std::move(note);
  return fields;
}

}  // namespace

CLI::App* AddIndexCommand(CLI::App& app, IndexOptions& options) {
  CLI::App* command = app.add_subcommand(
      "index",
      "Snap sites (points of a vector source, or a CSV of coordinates) to the nearest flowlines and write a batch "
      "REQUESTS table that starts on each");
  command->add_option("POINTS", options.sites.path, "Vector source of points, or a CSV with coordinate columns")
      ->required();
  command->add_option("--geometry", options.geometry, "Vector source of the flowlines' lines")->required();
  command->add_option("--tables", options.tables, "Folder of the tables imported from those flowlines")->required();
  command->add_option("--out", options.out, "The CSV written: one line per point, or per candidate")->required();
  command->add_option("--layer", options.layer, "Layer of the geometry source (as for import)");
  command->add_option("--points-layer", options.sites.layer,
                      "Layer of the points (default: the only layer, or the first of points)");
  command->add_option("--x", options.sites.x,
                      "Column of a CSV's x or longitude (default: lon, lng, long, longitude, x)");
  command->add_option("--y", options.sites.y, "Column of a CSV's y or latitude (default: lat, latitude, y)");
  command->add_option("--srs", options.sites.srs,
                      "Coordinate system of a CSV's coordinates, as EPSG:n or WKT (default EPSG:4326)");
  command->add_option("--id", options.sites.id,
                      "Column of the points' ids (default: id, site_id, site, name; else the row number from 1)");
  command
      ->add_option_function<std::string>(
          "--keep-columns", [&options](const std::string& list) { options.sites.keepColumns = SplitNames(list); },
          "Columns of POINTS copied to OUT, after Note, as A,B")
      ->type_name("A,B");
  command
      ->add_option_function<double>(
          "--radius",
          [&options](double radius) {
            if (!(radius > 0.0) || !std::isfinite(radius)) {
              throw CLI::ValidationError("--radius", "not a positive number of metres");
            }
            options.radius = radius;
          },
          "Farthest a point is snapped, in metres on the ground (default 200)")
      ->type_name("METRES");
  command->add_option("--matches", options.matches, "Up to K candidates per point on K flowlines, nearest first")
      ->check(CLI::PositiveNumber)
      ->type_name("K");
  command->add_option("--nav-type", options.navType, "NavType of the requests written (1 to 4)")
      ->check(CLI::IsMember({"1", "2", "3", "4"}));
  command->add_option("--direction", options.direction, "Direction of the requests: U or D")
      ->check(CLI::IsMember({"U", "D"}));
  command->add_option("--distance", options.distance, "Distance of types 3 and 4")->check(CLI::PositiveNumber);
  command->add_option("--units", options.units, "DistanceUnits: MI, FT, or anything else for metres (default M)");
  auto mode = std::make_shared<std::string>();
  command
      ->add_option(
          "--mode", *mode,
          "UM, UT, DM, DD: up or down the main path or the whole network (types 1 and 2; 3 and 4 with --distance)")
      ->check(CLI::IsMember({"UM", "UT", "DM", "DD"}));
  command->callback([&options, mode] { CheckRequestOptions(options, *mode); });
  return command;
}

namespace {

// Snaps sites against one set of lines and tables, and writes their lines.
class SiteIndexer {
 public:
  SiteIndexer(const IndexOptions& options, const NetworkTables& tables, const IdMap& ids, const FlowlineLines& lines)
      : options_(options),
        tables_(tables),
        lines_(lines),
        sections_(tables, ids),
        snapper_(lines),
        beyond_("no flowline within " + ShortestText(options.radius) + " m") {}

  // Adds the site's lines to `out`; whether its nearest line is a snap.
  bool Index(const Site& site, IndexTable& out) {
    if (!site.located) {
      out.Add(site, Unsnapped("coordinates cannot be read"));
      return false;
    }
    const std::vector<LineMatch> matches = snapper_.Nearest(site.lon, site.lat, options_.radius, options_.matches);
    if (matches.empty()) out.Add(site, Unsnapped(beyond_));
    bool snapped = false;
    for (std::size_t rank = 0; rank < matches.size(); ++rank) {
      SnapFields fields = FieldsOf(matches[rank]);
      fields.rank = std::to_string(rank + 1);
      if (rank == 0) snapped = fields.note.empty();
      out.Add(site, fields);
    }
    return snapped;
  }

 private:
  SnapFields FieldsOf(const LineMatch& match) {
    const FlowlineLine& line = lines_.all()[match.line];
    // Measures count from the downstream end, the line from the upstream one.
    const double s = 1.0 - match.snap.share;
    SnapFields fields;
    fields.sourceId = std::to_string(line.comId);
    fields.reachCode = line.reachCode;
    if (!line.reachCode.empty()) fields.reachMeasure = ShortestText(line.fromMeas + (line.toMeas - line.fromMeas) * s);
    fields.offset = Fixed("%.2f", match.snap.offset);
    OGRPoint point;
    if (snapper_.PointOf(match, point)) {
      fields.snapLon = Fixed("%.7f", point.getX());
      fields.snapLat = Fixed("%.7f", point.getY());
    }
    const SectionRecord* section = sections_.Of(line);
    const ReachRecord* reach = section != nullptr ? tables_.ReachByComId(section->Com_id) : nullptr;
    if (reach == nullptr) {
      fields.note = "flowline " + fields.sourceId + " has no section in the tables";
      return fields;
    }
    fields.startReach = std::string(reach->Code());
    fields.startComid = std::to_string(section->Com_id);
    fields.startMeasure = ShortestText(section->F_meas + (section->T_meas - section->F_meas) * s);
    return fields;
  }

  const IndexOptions& options_;
  const NetworkTables& tables_;
  const FlowlineLines& lines_;
  const LineSections sections_;
  LineSnapper snapper_;
  const std::string beyond_;
};

}  // namespace

IndexSummary RunIndex(const IndexOptions& options, const IndexProgress& progress) {
  const std::vector<Site> sites = ReadSites(options.sites);
  IndexTable out(options.matches > 1, options.sites.keepColumns,
                 {options.navType, options.direction, options.distance, options.units});
  IndexSummary summary{sites.size(), 0};
  if (!sites.empty()) {
    const NetworkTables tables = LoadTableFolder(options.tables);
    const IdMap ids = IdMap::ReadFromFolder(options.tables);
    VectorSource source(options.geometry, options.layer);
    const FlowlineLines lines(source, progress.flowlines);
    SiteIndexer indexer(options, tables, ids, lines);
    const auto total = static_cast<std::int64_t>(sites.size());
    for (std::size_t n = 0; n < sites.size(); ++n) {
      if (indexer.Index(sites[n], out)) ++summary.snapped;
      if (progress.points && ((n + 1) % 4096 == 0 || n + 1 == sites.size())) {
        progress.points(static_cast<std::int64_t>(n + 1), total);
      }
    }
  }
  ReplaceFile(options.out, out.text());
  return summary;
}

}  // namespace rill::geo
