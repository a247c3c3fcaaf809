// Several flowline sources read as one layer, one after the other, as if
// their rows stood in one layer in the order given (a river that leaves one
// drainage area enters the next: the nodes are numbered nationally).
#pragma once

#include <ogrsf_frmts.h>

#include <cstddef>
#include <memory>
#include <unordered_set>
#include <vector>

namespace rill::geo {

class ChainedFlowlines final : public OGRLayer {
 public:
  // `layers` must outlive this one; each has an id column (COMID or
  // NHDPlusID). The columns are those of the first layer, then those of
  // later ones it lacks, matched by name, letter case ignored; the lines are
  // brought to the first layer's coordinate system. A flowline whose id an
  // earlier source already had is left out and counted (ids repeated within
  // one source pass, as they would from one layer).
  explicit ChainedFlowlines(std::vector<OGRLayer*> layers);
  ~ChainedFlowlines() override;

  // Flowlines left out so far because an earlier source held their id.
  std::size_t heldTwice() const { return heldTwice_; }

  void ResetReading() override;
  OGRFeature* GetNextFeature() override;
  OGRFeatureDefn* GetLayerDefn() override { return fields_; }
  OGRSpatialReference* GetSpatialRef() override { return layers_.front()->GetSpatialRef(); }
  GIntBig GetFeatureCount(int force) override;
  int TestCapability(const char*) override { return FALSE; }
  OGRErr SetIgnoredFields(const char** names) override;

 private:
  struct Part {
    OGRLayer* layer;
    int id;
    std::vector<int> fieldMap;                             // each of its fields' index in fields_
    std::unique_ptr<OGRCoordinateTransformation> toFirst;  // null when already alike
  };

  std::vector<OGRLayer*> layers_;
  std::vector<Part> parts_;
  OGRFeatureDefn* fields_;
  std::size_t current_ = 0;
  std::unordered_set<std::int64_t> earlier_;  // ids of the sources read before the current one
  std::vector<std::int64_t> ofThisPart_;
  std::size_t heldTwice_ = 0;
};

}  // namespace rill::geo
