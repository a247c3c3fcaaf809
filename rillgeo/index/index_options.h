// The options of rillgeo index and their help, declared in one place.
#pragma once

#include <cstddef>
#include <string>

#include "rillgeo/index/site_source.h"

namespace CLI {
class App;
}  // namespace CLI

namespace rill::geo {

struct IndexOptions {
  SiteOptions sites;
  std::string geometry;
  std::string layer;
  std::string tables;
  std::string out;
  double radius = 200.0;
  std::size_t matches = 1;
  // The request columns, written when navType is not empty.
  std::string navType;
  std::string direction;
  std::string distance;
  std::string units;
};

// Declares the command and its options, with their help, on `app`; they
// fill `options`, which must outlive the parse. The parse refuses request
// options that do not go together, and turns --mode into navType and
// direction.
CLI::App* AddIndexCommand(CLI::App& app, IndexOptions& options);

}  // namespace rill::geo
