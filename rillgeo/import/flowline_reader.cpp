#include "rillgeo/import/flowline_reader.h"

#include <strings.h>

#include <utility>

#include "rillgeo/geometry/ogr_columns.h"

namespace rill::geo {

namespace {

// Where each attribute stands in the layer; -1 for an optional one absent.
struct Columns {
  int comId, date, lengthKm, reachCode, ftype, fcode, streamLevel, fromNode, toNode, hydroseq, levelPath, startFlag,
      fromMeas, toMeas;

  // The first required column missing is noted in `found`.
  explicit Columns(LayerColumns& found)
      : comId(found.Require({"COMID", "NHDPlusID"})),
        date(found.Find({"FDATE"})),
        lengthKm(found.Require({"LENGTHKM"})),
        reachCode(found.Require({"REACHCODE"})),
        ftype(found.Find({"FTYPE"})),
        fcode(found.Find({"FCODE"})),
        streamLevel(found.Require({"StreamLeve", "StreamLevel"})),
        fromNode(found.Require({"FromNode"})),
        toNode(found.Require({"ToNode"})),
        hydroseq(found.Require({"Hydroseq"})),
        levelPath(found.Require({"LevelPathI", "LevelPathID"})),
        startFlag(found.Require({"StartFlag"})),
        fromMeas(found.Require({"FromMeas"})),
        toMeas(found.Require({"ToMeas"})) {}
};

// Coastline flowlines: FTYPE "Coastline" (V2) or 566 (HR), FCODE 56600.
bool IsCoastline(OGRFeature& feature, const Columns& columns, FieldReader& read) {
  if (columns.ftype >= 0) {
    const std::string ftype = TextValue(feature, columns.ftype);
    if (strcasecmp(ftype.c_str(), "Coastline") == 0 || ftype == "566") return true;
  }
  return columns.fcode >= 0 && feature.IsFieldSetAndNotNull(columns.fcode) && read.Whole(columns.fcode) == 56600;
}

StatusOr<Flowline> ReadOne(OGRFeature& feature, const Columns& columns) {
  FieldReader read(feature);
  Flowline f;
  f.comId = read.Whole(columns.comId);
  // Samples without FDATE carry one fixed date.
  f.date = columns.date >= 0 ? read.Date(columns.date) : "20000101";
  f.lengthKm = read.Decimal(columns.lengthKm);
  f.reachCode = TextValue(feature, columns.reachCode);
  f.coastline = IsCoastline(feature, columns, read);
  f.streamLevel = read.Whole(columns.streamLevel);
  f.fromNode = read.Whole(columns.fromNode);
  f.toNode = read.Whole(columns.toNode);
  f.hydroseq = read.Whole(columns.hydroseq);
  f.levelPath = read.Whole(columns.levelPath);
  f.headwater = read.Whole(columns.startFlag) == 1;
  f.fromMeas = read.Real(columns.fromMeas);
  f.toMeas = read.Real(columns.toMeas);
  if (!read.ok()) return read.status();
  if (f.reachCode.empty() || f.reachCode.size() > 14) {
    return Status(Fault::InputMissing, "feature " + std::to_string(feature.GetFID()) + ": column REACHCODE holds '" +
                                           f.reachCode + "', not a code of 1 to 14 characters");
  }
  return f;
}

}  // namespace

StatusOr<std::vector<Flowline>> ReadFlowlines(VectorSource& source, const ReadProgress& progress) {
  OGRLayer& layer = source.layer();
  LayerColumns found(*layer.GetLayerDefn());
  const Columns columns(found);
  if (!found.status().ok()) return found.status();
  // Only the attributes are needed: skipping the lines reads a large
  // source several times faster.
  layer.SetIgnoredFields(std::vector<const char*>{"OGR_GEOMETRY", nullptr}.data());
  const std::int64_t total = layer.GetFeatureCount();
  std::vector<Flowline> flowlines;
  flowlines.reserve(total > 0 ? static_cast<std::size_t>(total) : 0);
  layer.ResetReading();
  for (auto& feature : layer) {
    StatusOr<Flowline> flowline = ReadOne(*feature, columns);
    if (!flowline.ok()) {
      layer.SetIgnoredFields(nullptr);
      return flowline.status();
    }
    flowlines.push_back(std::move(*flowline));
    if (progress && flowlines.size() % 4096 == 0) progress(static_cast<std::int64_t>(flowlines.size()), total);
  }
  layer.SetIgnoredFields(nullptr);
  if (progress) progress(static_cast<std::int64_t>(flowlines.size()), total);
  return flowlines;
}

}  // namespace rill::geo
