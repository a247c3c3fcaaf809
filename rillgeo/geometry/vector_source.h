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
#include <utility>
#include <vector>

#include "rillgeo/geometry/source_layout.h"
#include "text/status.h"

namespace rill::geo {

// Called now and then with the features read so far and the layer's count.
using ReadProgress = std::function<void(std::int64_t done, std::int64_t total)>;

class VectorSource {
 public:
  // Opens `path` (or every one of `paths`, read one after the other)
  // read-only; `layer` names the layer of the flowlines (letter case
  // ignored), or, when empty, the layout decides: NHDFlowline joined with
  // NHDPlusFlowlineVAA, else the only layer or the first whose name holds
  // "flowline". A fault (Fault::InputMissing) says why when that fails: a
  // file, layer, table or column missing, a value-added id not whole.
  static StatusOr<VectorSource> Open(const std::string& path, const std::string& layer);
  static StatusOr<VectorSource> Open(const std::vector<std::string>& paths, const std::string& layer);

  OGRLayer& layer() { return sources_.layer(); }
  // Flowlines of the reading so far left out for want of value-added
  // attributes, and for being held by an earlier source.
  std::size_t withoutAttributes() const { return sources_.withoutAttributes(); }
  std::size_t heldTwice() const { return sources_.heldTwice(); }

 private:
  explicit VectorSource(FlowlineSources sources) : sources_(std::move(sources)) {}

  FlowlineSources sources_;
};

// Registers GDAL's drivers and keeps its warnings off the terminal; the
// entry point calls it once.
void StartGdal();

}  // namespace rill::geo
