// Flowlines whose lines and value-added attributes are kept apart, seen as
// one layer: each feature of the line layer with its value-added row, found
// by flowline id through the table's index.
#pragma once

#include <ogrsf_frmts.h>

#include <cstddef>

#include "rillgeo/geometry/vaa_table.h"

namespace rill::geo {

class JoinedFlowlines final : public OGRLayer {
 public:
  // `lines` (whose id column is `linesId`) must outlive this layer. Its
  // features come out in their order with the columns of `attributes`
  // appended; a flowline whose id the table does not hold is left out and
  // counted. A flowline whose id is not a whole number comes out without
  // its attributes, for the reader to refuse by that id.
  JoinedFlowlines(OGRLayer& lines, int linesId, VaaTable attributes);
  ~JoinedFlowlines() override;

  // Flowlines left out so far for want of value-added attributes.
  std::size_t withoutAttributes() const { return withoutAttributes_; }

  void ResetReading() override;
  OGRFeature* GetNextFeature() override;
  OGRFeatureDefn* GetLayerDefn() override { return fields_; }
  OGRSpatialReference* GetSpatialRef() override { return lines_.GetSpatialRef(); }
  GIntBig GetFeatureCount(int force) override { return lines_.GetFeatureCount(force); }
  int TestCapability(const char*) override { return FALSE; }
  OGRErr SetIgnoredFields(const char** names) override;

 private:
  OGRLayer& lines_;
  const int linesId_;
  const VaaTable attributes_;
  OGRFeatureDefn* fields_;
  int lineFields_;
  std::size_t withoutAttributes_ = 0;
};

}  // namespace rill::geo
