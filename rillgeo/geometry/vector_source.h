// A vector source opened through GDAL: the dataset and the layer of
// flowlines chosen in it.
#pragma once

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstdint>
#include <functional>
#include <string>

namespace rill::geo {

// Called now and then with the features read so far and the layer's count.
using ReadProgress = std::function<void(std::int64_t done, std::int64_t total)>;

class VectorSource {
 public:
  // Opens `path` read-only and picks the layer named `layer` (letter case
  // ignored), or, when `layer` is empty, the only layer or the first whose
  // name holds "flowline". A GeoError says why when that fails.
  VectorSource(const std::string& path, const std::string& layer);

  OGRLayer& layer() { return *layer_; }

 private:
  GDALDatasetUniquePtr dataset_;
  OGRLayer* layer_ = nullptr;
};

// Registers GDAL's drivers and keeps its warnings off the terminal; the
// entry point calls it once.
void StartGdal();

}  // namespace rill::geo
