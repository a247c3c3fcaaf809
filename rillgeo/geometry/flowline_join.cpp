#include "rillgeo/geometry/flowline_join.h"

#include <memory>
#include <string>
#include <vector>

namespace rill::geo {

JoinedFlowlines::JoinedFlowlines(OGRLayer& lines, int linesId, VaaTable attributes)
    : lines_(lines), linesId_(linesId), attributes_(std::move(attributes)) {
  const OGRFeatureDefn& source = *lines.GetLayerDefn();
  fields_ = new OGRFeatureDefn(source.GetName());
  fields_->Reference();
  fields_->SetGeomType(wkbNone);
  for (int i = 0; i < source.GetGeomFieldCount(); ++i) {
    OGRGeomFieldDefn geometry(source.GetGeomFieldDefn(i));
    fields_->AddGeomFieldDefn(&geometry);
  }
  lineFields_ = source.GetFieldCount();
  for (int i = 0; i < lineFields_; ++i) fields_->AddFieldDefn(source.GetFieldDefn(i));
  attributes_.AddFieldsTo(*fields_);
  SetDescription(fields_->GetName());
}

JoinedFlowlines::~JoinedFlowlines() { fields_->Release(); }

void JoinedFlowlines::ResetReading() {
  lines_.ResetReading();
  withoutAttributes_ = 0;
}

OGRFeature* JoinedFlowlines::GetNextFeature() {
  while (OGRFeature* next = lines_.GetNextFeature()) {
    const std::unique_ptr<OGRFeature> line(next);
    const std::optional<std::int64_t> id = WholeId(*line, linesId_);
    const std::int64_t row = id ? attributes_.RowOf(*id) : -1;
    if (id && row < 0) {
      ++withoutAttributes_;
      continue;
    }
    auto joined = std::make_unique<OGRFeature>(fields_);
    joined->SetFID(line->GetFID());
    for (int i = 0; i < lineFields_; ++i) joined->SetField(i, line->GetRawFieldRef(i));
    for (int i = 0; i < line->GetGeomFieldCount(); ++i) joined->SetGeomFieldDirectly(i, line->StealGeometry(i));
    if (row >= 0) attributes_.Fill(*joined, row, lineFields_);
    return joined.release();
  }
  return nullptr;
}

OGRErr JoinedFlowlines::SetIgnoredFields(const char** names) {
  // The line layer hears of the fields it holds (skipping the lines reads
  // a large source several times faster).
  std::vector<const char*> ofLines;
  const OGRFeatureDefn& source = *lines_.GetLayerDefn();
  for (const char** name = names; name != nullptr && *name != nullptr; ++name) {
    const std::string text = *name;
    if (text == "OGR_GEOMETRY" || text == "OGR_STYLE" || source.GetFieldIndex(*name) >= 0 ||
        source.GetGeomFieldIndex(*name) >= 0) {
      ofLines.push_back(*name);
    }
  }
  ofLines.push_back(nullptr);
  lines_.SetIgnoredFields(names == nullptr ? nullptr : ofLines.data());
  return OGRLayer::SetIgnoredFields(names);
}

}  // namespace rill::geo
