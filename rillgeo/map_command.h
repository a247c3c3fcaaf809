// rillgeo map: a navigation's results drawn on the flowlines' lines, as
// GeoJSON, a GeoPackage layer and/or a self-contained web page.
#pragma once

#include <CLI/CLI.hpp>
#include <cstddef>
#include <string>

namespace rill::geo {

struct MapOptions {
  std::string results;
  std::string tables;
  std::string geometry;
  std::string layer;
  std::string geojson;
  std::string gpkg;
  std::string html;
  std::string request;
};

// What a map run drew, for the one line the program prints.
struct MapSummary {
  std::size_t rows = 0;
  std::size_t rowsWithoutLine = 0;  // rows whose reach has no line in the source
};

// Declares the command and its options, with their help, on `app`.
CLI::App* AddMapCommand(CLI::App& app, MapOptions& options);

// Reads the results, the tables and the lines, cuts the rows and writes
// every output asked for. A GeoError when an input cannot be used or an
// output written (an output is only ever replaced whole).
MapSummary RunMap(const MapOptions& options);

}  // namespace rill::geo
