#include "rillgeo/geometry/vector_source.h"

#include <cpl_error.h>

#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

namespace {

FlowlineSources Opened(const std::vector<std::string>& paths, const std::string& layer) {
  StatusOr<FlowlineSources> opened = OpenFlowlineSources(paths, layer);
  if (!opened.ok()) throw GeoError(opened.status().message());
  return std::move(*opened);
}

}  // namespace

void StartGdal() {
  GDALAllRegister();
  // Sources written by other tools draw harmless warnings (a date without
  // its zone); failures reach the caller through return values instead.
  CPLSetErrorHandler(CPLQuietErrorHandler);
}

VectorSource::VectorSource(const std::string& path, const std::string& layer)
    : VectorSource(std::vector<std::string>{path}, layer) {}

VectorSource::VectorSource(const std::vector<std::string>& paths, const std::string& layer)
    : sources_(Opened(paths, layer)) {}

}  // namespace rill::geo
