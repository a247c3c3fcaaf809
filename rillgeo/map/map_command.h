// rillgeo map: a navigation's results drawn on the flowlines' lines, as
// GeoJSON, a GeoPackage layer and/or a self-contained web page.
#pragma once

#include <CLI/CLI.hpp>
#include <cstddef>
#include <string>
#include <vector>

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
  std::string perRequest;  // folder of one page per request
  std::string units;       // MI, FT, M or KM: the unit of the distances, for the legend
  std::string requests;    // the batch's REQUESTS, for the notes of sites not snapped
};

// What a map run drew, for the one line the program prints.
struct MapSummary {
  std::size_t rows = 0;
  std::size_t rowsWithoutLine = 0;            // rows whose reach has no line in the source
  std::vector<std::string> codesWithoutLine;  // the first few of their codes
  std::size_t requestPages = 0;               // pages written by --per-request
};

// Declares the command and its options, with their help, on `app`.
CLI::App* AddMapCommand(CLI::App& app, MapOptions& options);

// Reads the results, the tables and the lines, cuts the rows and writes
// every output asked for. A GeoError when an input cannot be used, when
// not one row has a line (the results belong to another network; nothing
// is then written) or an output cannot be written (an output is only ever
// replaced whole).
MapSummary RunMap(const MapOptions& options);

}  // namespace rill::geo
