// The lines of the flowlines, in WGS 84 longitude/latitude, found by the
// nodes they run between.
#pragma once

#include <ogr_geometry.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "rillgeo/geometry/vector_source.h"

namespace rill::geo {

struct FlowlineLine {
  std::int64_t comId = 0;
  std::int64_t fromNode = 0;
  std::int64_t toNode = 0;
  std::unique_ptr<OGRLineString> line;  // upstream end first, as NHDPlus digitises
  OGREnvelope envelope;                 // of the line, kept so that every page need not walk its points
  // Where a part of a multi-part line begins apart from the end of the one
  // before it: the segment into that vertex is a gap, counted in the length.
  std::vector<int> partStarts;
  std::string reachCode;  // REACHCODE, FromMeas and ToMeas where the source has them
  double fromMeas = 0.0;
  double toMeas = 0.0;
};

class FlowlineLines {
 public:
  // Reads COMID (or NHDPlusID), FromNode, ToNode and the line of every
  // feature, its parts joined in order. A GeoError names a missing column,
  // a value that cannot be read, or a source whose lines cannot be brought
  // to WGS 84. `progress`, when given, hears of the features read.
  explicit FlowlineLines(VectorSource& source, const ReadProgress& progress = {});

  // The flowline running from `fromNode` to `toNode` (source ids), preferring
  // the one with `comId` where several do; nullptr when there is none.
  const FlowlineLine* Find(std::int64_t fromNode, std::int64_t toNode, std::int64_t comId) const;

  const std::vector<FlowlineLine>& all() const { return lines_; }

 private:
  std::vector<FlowlineLine> lines_;
  std::unordered_multimap<std::int64_t, std::size_t> byFromNode_;
};

}  // namespace rill::geo
