// rillgeo import: NHDPlus flowlines from any vector source GDAL opens into
// the navigator's three tables.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "rillgeo/import/flowline_reader.h"
#include "rillgeo/import/network_mapping.h"

namespace rill::geo {

struct ImportOptions {
  std::string source;
  std::string folder;
  std::string layer;
  Mapping mapping = Mapping::ByFlowline;
};

// What an import wrote, for the one line the program prints.
struct ImportSummary {
  std::size_t flowlines = 0;
  std::size_t reaches = 0;
  std::size_t flows = 0;
  std::size_t sections = 0;
  bool renumbered = false;
};

// Declares the command and its options, with their help, on `app`.
CLI::App* AddImportCommand(CLI::App& app, ImportOptions& options);

// Reads the source, maps it and writes the tables (a GeoError when the
// source cannot be used or the folder written; no table is written then).
ImportSummary RunImport(const ImportOptions& options, const ReadProgress& progress);

}  // namespace rill::geo
