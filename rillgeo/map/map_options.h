// The options of rillgeo map and their help, declared in one place.
#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}  // namespace CLI

namespace rill::geo {

struct MapOptions {
  std::string results;
  std::string tables;
  std::vector<std::string> geometry;  // read one after the other, as import reads several sources
  std::string layer;
  std::string geojson;
  std::string gpkg;
  std::string html;
  std::string request;
  std::string perRequest;  // folder of one page per request
  std::string units;       // MI, FT, M or KM: the unit of the distances, for the legend
  std::string requests;    // the batch's REQUESTS, for the notes of sites not snapped
  std::string features;    // a site table: the sites passed are marked on the pages
  std::string featureMatch = "exact";
};

// Declares the command and its options, with their help, on `app`; they
// fill `options`, which must outlive the parse. The parse refuses a map
// that names no output.
CLI::App* AddMapCommand(CLI::App& app, MapOptions& options);

}  // namespace rill::geo
