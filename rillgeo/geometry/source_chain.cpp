#include "rillgeo/geometry/source_chain.h"

#include <ogr_spatialref.h>

#include <optional>
#include <string>

#include "rillgeo/geometry/ogr_columns.h"
#include "rillgeo/geometry/vaa_table.h"

namespace rill::geo {

ChainedFlowlines::ChainedFlowlines(std::vector<OGRLayer*> layers) : layers_(std::move(layers)) {
  const OGRFeatureDefn& first = *layers_.front()->GetLayerDefn();
  fields_ = new OGRFeatureDefn(first.GetName());
  fields_->Reference();
  fields_->SetGeomType(wkbNone);
  for (int i = 0; i < first.GetGeomFieldCount(); ++i) {
    OGRGeomFieldDefn geometry(first.GetGeomFieldDefn(i));
    fields_->AddGeomFieldDefn(&geometry);
  }
  SetDescription(fields_->GetName());
  const OGRSpatialReference* firstCrs = layers_.front()->GetSpatialRef();
  for (OGRLayer* layer : layers_) {
    const OGRFeatureDefn& own = *layer->GetLayerDefn();
    Part part{layer, IdColumn(own), {}, nullptr};
    for (int i = 0; i < own.GetFieldCount(); ++i) {
      const char* name = own.GetFieldDefn(i)->GetNameRef();
      // One id column, whether a source calls it COMID or NHDPlusID.
      int index = i == part.id ? IdColumn(*fields_) : FindColumn(*fields_, {name});
      if (index < 0) {
        fields_->AddFieldDefn(own.GetFieldDefn(i));
        index = fields_->GetFieldCount() - 1;
      }
      part.fieldMap.push_back(index);
    }
    const OGRSpatialReference* crs = layer->GetSpatialRef();
    if (firstCrs != nullptr && crs != nullptr && !crs->IsSame(firstCrs)) {
      part.toFirst.reset(OGRCreateCoordinateTransformation(crs, firstCrs));
    }
    parts_.push_back(std::move(part));
  }
}

ChainedFlowlines::~ChainedFlowlines() { fields_->Release(); }

void ChainedFlowlines::ResetReading() {
  for (OGRLayer* layer : layers_) layer->ResetReading();
  current_ = 0;
  earlier_.clear();
  ofThisPart_.clear();
  heldTwice_ = 0;
}

OGRFeature* ChainedFlowlines::GetNextFeature() {
  for (; current_ < parts_.size(); ++current_) {
    Part& part = parts_[current_];
    while (OGRFeature* next = part.layer->GetNextFeature()) {
      const std::unique_ptr<OGRFeature> own(next);
      // An id that is not whole passes, for the reader to refuse by it.
      const std::optional<std::int64_t> id = part.id >= 0 ? WholeId(*own, part.id) : std::nullopt;
      if (id && earlier_.count(*id) > 0) {
        ++heldTwice_;
        continue;
      }
      if (id) ofThisPart_.push_back(*id);
      auto feature = std::make_unique<OGRFeature>(fields_);
      feature->SetFID(own->GetFID());
      feature->SetFieldsFrom(own.get(), part.fieldMap.data());
      for (int i = 0; i < own->GetGeomFieldCount() && i < feature->GetGeomFieldCount(); ++i) {
        OGRGeometry* line = own->StealGeometry(i);
        if (line != nullptr && part.toFirst) line->transform(part.toFirst.get());
        feature->SetGeomFieldDirectly(i, line);
      }
      return feature.release();
    }
    earlier_.insert(ofThisPart_.begin(), ofThisPart_.end());
    ofThisPart_.clear();
  }
  return nullptr;
}

GIntBig ChainedFlowlines::GetFeatureCount(int force) {
  GIntBig total = 0;
  for (OGRLayer* layer : layers_) total += layer->GetFeatureCount(force);
  return total;
}

OGRErr ChainedFlowlines::SetIgnoredFields(const char** names) {
  for (OGRLayer* layer : layers_) {
    std::vector<const char*> own;
    const OGRFeatureDefn& fields = *layer->GetLayerDefn();
    for (const char** name = names; name != nullptr && *name != nullptr; ++name) {
      const std::string text = *name;
      if (text == "OGR_GEOMETRY" || text == "OGR_STYLE" || fields.GetFieldIndex(*name) >= 0) own.push_back(*name);
    }
    own.push_back(nullptr);
    layer->SetIgnoredFields(names == nullptr ? nullptr : own.data());
  }
  return OGRLayer::SetIgnoredFields(names);
}

}  // namespace rill::geo
