// The layouts NHDPlus flowlines come in, found without options:
// - one layer that holds the lines and the value-added attributes together;
// - a layer NHDFlowline beside a table NHDPlusFlowlineVAA (High Resolution
//   geodatabases), joined by NHDPlusID;
// - a Version 2 region folder (NHDSnapshot/Hydrography/NHDFlowline.shp
//   beside NHDPlusAttributes/PlusFlowlineVAA.dbf), joined by COMID, or the
//   drainage-area folder above its region folders, read in name order.
// Several sources are read one after the other as one layer.
#pragma once

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "text/status.h"

namespace rill::geo {

class JoinedFlowlines;
class ChainedFlowlines;
class SourceOpener;

// The datasets of the sources and the one layer their flowlines are read
// through.
class FlowlineSources {
 public:
  FlowlineSources();
  ~FlowlineSources();
  FlowlineSources(FlowlineSources&&) noexcept;

  OGRLayer& layer() { return *layer_; }
  // Flowlines left out for want of value-added attributes, and for being
  // held by an earlier source, in the reading so far.
  std::size_t withoutAttributes() const;
  std::size_t heldTwice() const;

 private:
  friend class SourceOpener;

  std::vector<GDALDatasetUniquePtr> datasets_;
  std::vector<std::unique_ptr<JoinedFlowlines>> joins_;
  std::unique_ptr<ChainedFlowlines> chain_;
  std::vector<OGRLayer*> parts_;
  OGRLayer* layer_ = nullptr;
};

// Opens every path read-only in its layout; `layer` names the flowline layer
// of a source GDAL opens (default: the only layer, or the first whose name
// holds "flowline"). A Status says which file, layer, table or column is
// missing or cannot be used; nothing is read then.
StatusOr<FlowlineSources> OpenFlowlineSources(const std::vector<std::string>& paths, const std::string& layer);

}  // namespace rill::geo
