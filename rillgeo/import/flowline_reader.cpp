#include "rillgeo/import/flowline_reader.h"

#include <strings.h>

#include "rillgeo/geometry/geo_error.h"
#include "rillgeo/geometry/ogr_columns.h"

namespace rill::geo {

namespace {

// Where each attribute stands in the layer; -1 for an optional one absent.
struct Columns {
  int comId, date, lengthKm, reachCode, ftype, fcode, streamLevel, fromNode, toNode, hydroseq, levelPath, startFlag,
      fromMeas, toMeas;

  explicit Columns(const OGRFeatureDefn& fields)
      : comId(RequireColumn(fields, {"COMID", "NHDPlusID"})),
        date(FindColumn(fields, {"FDATE"})),
        lengthKm(RequireColumn(fields, {"LENGTHKM"})),
        reachCode(RequireColumn(fields, {"REACHCODE"})),
        ftype(FindColumn(fields, {"FTYPE"})),
        fcode(FindColumn(fields, {"FCODE"})),
        streamLevel(RequireColumn(fields, {"StreamLeve", "StreamLevel"})),
        fromNode(RequireColumn(fields, {"FromNode"})),
        toNode(RequireColumn(fields, {"ToNode"})),
        hydroseq(RequireColumn(fields, {"Hydroseq"})),
        levelPath(RequireColumn(fields, {"LevelPathI", "LevelPathID"})),
        startFlag(RequireColumn(fields, {"StartFlag"})),
        fromMeas(RequireColumn(fields, {"FromMeas"})),
        toMeas(RequireColumn(fields, {"ToMeas"})) {}
};

// Coastline flowlines: FTYPE "Coastline" (V2) or 566 (HR), FCODE 56600.
bool IsCoastline(OGRFeature& feature, const Columns& columns) {
  if (columns.ftype >= 0) {
    const std::string ftype = TextValue(feature, columns.ftype);
    if (strcasecmp(ftype.c_str(), "Coastline") == 0 || ftype == "566") return true;
  }
  return columns.fcode >= 0 && feature.IsFieldSetAndNotNull(columns.fcode) &&
         WholeValue(feature, columns.fcode) == 56600;
}

Flowline ReadOne(OGRFeature& feature, const Columns& columns) {
  Flowline f;
  f.comId = WholeValue(feature, columns.comId);
  // Samples without FDATE carry one fixed date.
  f.date = columns.date >= 0 ? DateValue(feature, columns.date) : "20000101";
  f.lengthKm = DecimalValue(feature, columns.lengthKm);
  f.reachCode = TextValue(feature, columns.reachCode);
  f.coastline = IsCoastline(feature, columns);
  f.streamLevel = WholeValue(feature, columns.streamLevel);
  f.fromNode = WholeValue(feature, columns.fromNode);
  f.toNode = WholeValue(feature, columns.toNode);
  f.hydroseq = WholeValue(feature, columns.hydroseq);
  f.levelPath = WholeValue(feature, columns.levelPath);
  f.headwater = WholeValue(feature, columns.startFlag) == 1;
  f.fromMeas = RealValue(feature, columns.fromMeas);
  f.toMeas = RealValue(feature, columns.toMeas);
  if (f.reachCode.empty() || f.reachCode.size() > 14) {
    throw GeoError("feature " + std::to_string(feature.GetFID()) + ": column REACHCODE holds '" + f.reachCode +
                   "', not a code of 1 to 14 characters");
  }
  return f;
}

}  // namespace

std::vector<Flowline> ReadFlowlines(VectorSource& source, const ReadProgress& progress) {
  OGRLayer& layer = source.layer();
  const Columns columns(*layer.GetLayerDefn());
  // Only the attributes are needed: skipping the lines reads a large
  // source several times faster.
  layer.SetIgnoredFields(std::vector<const char*>{"OGR_GEOMETRY", nullptr}.data());
  const std::int64_t total = layer.GetFeatureCount();
  std::vector<Flowline> flowlines;
  flowlines.reserve(total > 0 ? static_cast<std::size_t>(total) : 0);
  layer.ResetReading();
  for (auto& feature : layer) {
    flowlines.push_back(ReadOne(*feature, columns));
    if (progress && flowlines.size() % 4096 == 0) progress(static_cast<std::int64_t>(flowlines.size()), total);
  }
  layer.SetIgnoredFields(nullptr);
  if (progress) progress(static_cast<std::int64_t>(flowlines.size()), total);
  return flowlines;
}

}  // namespace rill::geo
