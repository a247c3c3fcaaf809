#include "rillgeo/flowline_lines.h"

#include <ogr_spatialref.h>

#include "rillgeo/geo_error.h"
#include "rillgeo/ogr_columns.h"

namespace rill::geo {

namespace {

// Every part of a (multi)line in order, as one line string.
std::unique_ptr<OGRLineString> JoinedLine(const OGRGeometry* geometry) {
  auto line = std::make_unique<OGRLineString>();
  if (geometry == nullptr) return line;
  const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
  if (type == wkbLineString) {
    line->addSubLineString(geometry->toLineString());
  } else if (type == wkbMultiLineString) {
    for (const OGRLineString* part : *geometry->toMultiLineString()) line->addSubLineString(part);
  }
  line->flattenTo2D();
  return line;
}

}  // namespace

FlowlineLines::FlowlineLines(VectorSource& source) {
  OGRLayer& layer = source.layer();
  const OGRFeatureDefn& fields = *layer.GetLayerDefn();
  const int comId = RequireColumn(fields, {"COMID", "NHDPlusID"});
  const int fromNode = RequireColumn(fields, {"FromNode"});
  const int toNode = RequireColumn(fields, {"ToNode"});

  const OGRSpatialReference* sourceCrs = layer.GetSpatialRef();
  if (sourceCrs == nullptr) throw GeoError(std::string("layer ") + layer.GetName() + " has no coordinate system");
  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const std::unique_ptr<OGRCoordinateTransformation> toWgs84(OGRCreateCoordinateTransformation(sourceCrs, &wgs84));
  if (!toWgs84) throw GeoError(std::string("the lines of layer ") + layer.GetName() + " cannot be brought to WGS 84");

  layer.ResetReading();
  for (auto& feature : layer) {
    FlowlineLine entry{WholeValue(*feature, comId), WholeValue(*feature, fromNode), WholeValue(*feature, toNode),
                       JoinedLine(feature->GetGeometryRef()), OGREnvelope()};
    if (entry.line->getNumPoints() >= 2 && entry.line->transform(toWgs84.get()) != OGRERR_NONE) {
      throw GeoError("feature " + std::to_string(feature->GetFID()) + ": its line cannot be brought to WGS 84");
    }
    if (entry.line->getNumPoints() > 0) entry.line->getEnvelope(&entry.envelope);
    byFromNode_.emplace(entry.fromNode, lines_.size());
    lines_.push_back(std::move(entry));
  }
}

const FlowlineLine* FlowlineLines::Find(std::int64_t fromNode, std::int64_t toNode, std::int64_t comId) const {
  const FlowlineLine* found = nullptr;
  const auto [first, last] = byFromNode_.equal_range(fromNode);
  for (auto it = first; it != last; ++it) {
    const FlowlineLine& candidate = lines_[it->second];
    if (candidate.toNode != toNode) continue;
    if (candidate.comId == comId) return &candidate;
    if (found == nullptr) found = &candidate;
  }
  return found;
}

}  // namespace rill::geo
