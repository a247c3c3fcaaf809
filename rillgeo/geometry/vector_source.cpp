#include "rillgeo/geometry/vector_source.h"

#include <cpl_error.h>

#include <algorithm>
#include <cctype>

#include "rillgeo/geometry/geo_error.h"

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

VectorSource::VectorSource(const std::string& path, const std::string& layer) {
  dataset_.reset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!dataset_) throw GeoError(path + " cannot be opened as a vector source");
  const int count = dataset_->GetLayerCount();
  for (int i = 0; i < count && layer_ == nullptr; ++i) {
    OGRLayer* candidate = dataset_->GetLayer(i);
    const std::string name = Lower(candidate->GetName());
    if (!layer.empty() ? name == Lower(layer) : (count == 1 || name.find("flowline") != std::string::npos)) {
      layer_ = candidate;
    }
  }
  if (layer_ != nullptr) return;
  if (!layer.empty()) throw GeoError(path + " has no layer " + layer);
  throw GeoError(path + " holds " + std::to_string(count) +
                 " layers and none is named for flowlines; name one with --layer");
}

}  // namespace rill::geo
