#include "rillgeo/geometry/vector_source.h"

#include <cpl_error.h>

#include <algorithm>
#include <cctype>

namespace rill::geo {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

void StartGdal() {
  GDALAllRegister();
  // Sources written by other tools draw harmless warnings (a date without
  // its zone); failures reach the caller through return values instead.
  CPLSetErrorHandler(CPLQuietErrorHandler);
}

StatusOr<VectorSource> VectorSource::Open(const std::string& path, const std::string& layer) {
  GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!dataset) return Status(Fault::InputMissing, path + " cannot be opened as a vector source");
  const int count = dataset->GetLayerCount();
  for (int i = 0; i < count; ++i) {
    OGRLayer* candidate = dataset->GetLayer(i);
    const std::string name = Lower(candidate->GetName());
    if (!layer.empty() ? name == Lower(layer) : (count == 1 || name.find("flowline") != std::string::npos)) {
      return VectorSource(std::move(dataset), candidate);
    }
  }
  if (!layer.empty()) return Status(Fault::InputMissing, path + " has no layer " + layer);
  return Status(Fault::InputMissing, path + " holds " + std::to_string(count) +
                                         " layers and none is named for flowlines; name one with --layer");
}

}  // namespace rill::geo
