// A vector source of flowlines opened through GDAL, in whichever layout
// NHDPlus comes in (see source_layout.h): its datasets and the one layer
// the flowlines are read through.
#pragma once

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "rillgeo/geometry/source_layout.h"

namespace rill::geo {

// Called now and then with the features read so far and the layer's count.
using ReadProgress = std::function<void(std::int64_t done, std::int64_t total)>;

class VectorSource {
 public:
  // Opens `path` (or every one of `paths`, read one after the other)
  // read-only; `layer` names the layer of the flowlines (letter case
  // ignored), or, when empty, the layout decides: NHDFlowline joined with
  // NHDPlusFlowlineVAA, else the only layer or the first whose name holds
  // "flowline". A GeoError says why when that fails.
  VectorSource(const std::string& path, const std::string& layer);
  VectorSource(const std::vector<std::string>& paths, const std::string& layer);

  OGRLayer& layer() { return sources_.layer(); }
  // Flowlines of the reading so far left out for want of value-added
  // attributes, and for being held by an earlier source.
  std::size_t withoutAttributes() const { return sources_.withoutAttributes(); }
  std::size_t heldTwice() const { return sources_.heldTwice(); }

 private:
  FlowlineSources sources_;
};

// Registers GDAL's drivers and keeps its warnings off the terminal; the
// entry point calls it once.
void StartGdal();

}  // namespace rill::geo
