#include "rillgeo/geometry/flowline_lines.h"

#include <ogr_spatialref.h>

#include "rillgeo/geometry/geo_error.h"
#include "rillgeo/geometry/ogr_columns.h"

namespace rill::geo {

namespace {

// Every part of a (multi)line in order, as one line string; where a part
// does not begin at the end of the one before, its first index is noted.
std::unique_ptr<OGRLineString> JoinedLine(const OGRGeometry* geometry, std::vector<int>& partStarts) {
  auto line = std::make_unique<OGRLineString>();
  if (geometry == nullptr) return line;
  const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
  if (type == wkbLineString) {
    line->addSubLineString(geometry->toLineString());
  } else if (type == wkbMultiLineString) {
    for (const OGRLineString* part : *geometry->toMultiLineString()) {
      const int start = line->getNumPoints();
      if (start > 0 && part->getNumPoints() > 0 &&
          (part->getX(0) != line->getX(start - 1) || part->getY(0) != line->getY(start - 1))) {
        partStarts.push_back(start);
      }
      line->addSubLineString(part);
    }
  }
  line->flattenTo2D();
  return line;
}

// A measure the map does not need: 0 when the column is absent or unreadable.
double OptionalMeasure(OGRFeature& feature, int index) {
  if (index < 0 || !feature.IsFieldSetAndNotNull(index)) return 0.0;
  try {
    return RealValue(feature, index);
  } catch (const GeoError&) {
    return 0.0;
  }
}

}  // namespace

FlowlineLines::FlowlineLines(VectorSource& source, const ReadProgress& progress) {
  OGRLayer& layer = source.layer();
  const OGRFeatureDefn& fields = *layer.GetLayerDefn();
  const int comId = RequireColumn(fields, {"COMID", "NHDPlusID"});
  const int fromNode = RequireColumn(fields, {"FromNode"});
  const int toNode = RequireColumn(fields, {"ToNode"});
  const int reachCode = FindColumn(fields, {"REACHCODE"});
  const int fromMeas = FindColumn(fields, {"FromMeas"});
  const int toMeas = FindColumn(fields, {"ToMeas"});

  const OGRSpatialReference* sourceCrs = layer.GetSpatialRef();
  if (sourceCrs == nullptr) throw GeoError(std::string("layer ") + layer.GetName() + " has no coordinate system");
  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const std::unique_ptr<OGRCoordinateTransformation> toWgs84(OGRCreateCoordinateTransformation(sourceCrs, &wgs84));
  if (!toWgs84) throw GeoError(std::string("the lines of layer ") + layer.GetName() + " cannot be brought to WGS 84");

  const std::int64_t total = progress ? layer.GetFeatureCount() : 0;
  layer.ResetReading();
  for (auto& feature : layer) {
    FlowlineLine entry;
    entry.comId = WholeValue(*feature, comId);
    entry.fromNode = WholeValue(*feature, fromNode);
    entry.toNode = WholeValue(*feature, toNode);
    entry.line = JoinedLine(feature->GetGeometryRef(), entry.partStarts);
    if (reachCode >= 0) entry.reachCode = TextValue(*feature, reachCode);
    entry.fromMeas = OptionalMeasure(*feature, fromMeas);
    entry.toMeas = OptionalMeasure(*feature, toMeas);
    if (entry.line->getNumPoints() >= 2 && entry.line->transform(toWgs84.get()) != OGRERR_NONE) {
      throw GeoError("feature " + std::to_string(feature->GetFID()) + ": its line cannot be brought to WGS 84");
    }
    if (entry.line->getNumPoints() > 0) entry.line->getEnvelope(&entry.envelope);
    byFromNode_.emplace(entry.fromNode, lines_.size());
    lines_.push_back(std::move(entry));
    if (progress && lines_.size() % 4096 == 0) progress(static_cast<std::int64_t>(lines_.size()), total);
  }
  if (progress) progress(static_cast<std::int64_t>(lines_.size()), total);
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
