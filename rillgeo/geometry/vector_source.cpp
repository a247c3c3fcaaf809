#include "rillgeo/geometry/vector_source.h"

#include <cpl_error.h>

namespace rill::geo {

void StartGdal() {
  GDALAllRegister();
  // Sources written by other tools draw harmless warnings (a date without
  // its zone); failures reach the caller through return values instead.
  CPLSetErrorHandler(CPLQuietErrorHandler);
}

StatusOr<VectorSource> VectorSource::Open(const std::string& path, const std::string& layer) {
  return Open(std::vector<std::string>{path}, layer);
}

StatusOr<VectorSource> VectorSource::Open(const std::vector<std::string>& paths, const std::string& layer) {
  StatusOr<FlowlineSources> opened = OpenFlowlineSources(paths, layer);
  if (!opened.ok()) return opened.status();
  return VectorSource(std::move(*opened));
}

}  // namespace rill::geo
