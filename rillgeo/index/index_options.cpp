#include "rillgeo/index/index_options.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <memory>
#include <sstream>
#include <vector>

namespace rill::geo {

namespace {

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

}  // namespace rill::geo
