// The options of rillgeo import and their help, declared in one place.
#pragma once

#include <string>

#include "rillgeo/import/network_mapping.h"

namespace CLI {
class App;
}  // namespace CLI

namespace rill::geo {

struct ImportOptions {
  std::string source;
  std::string folder;
  std::string layer;
  Mapping mapping = Mapping::ByFlowline;
};

// Declares the command and its options, with their help, on `app`; they
// fill `options`, which must outlive the parse.
CLI::App* AddImportCommand(CLI::App& app, ImportOptions& options);

}  // namespace rill::geo
