// Snapping a site to the nearest points of the nearest flowlines, measured
// on the ground as map measures and cuts.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/ground_cutter.h"
#include "rillgeo/geometry/line_index.h"

namespace rill::geo {

struct LineMatch {
  std::size_t line = 0;  // position in FlowlineLines::all()
  GroundSnap snap;       // share from the line's upstream end, offset in metres
};

class LineSnapper {
 public:
  // Indexes `lines`, which must outlive the snapper.
  explicit LineSnapper(const FlowlineLines& lines);

  // Up to `count` matches on different lines within `radius` metres of
  // (lon, lat) in WGS 84, nearest first; offsets equal to the millimetre go
  // to the line that comes first in the source.
  std::vector<LineMatch> Nearest(double lon, double lat, double radius, std::size_t count);

  // The snapped point of a match, in WGS 84 longitude/latitude.
  bool PointOf(const LineMatch& match, OGRPoint& point);

 private:
  // The line in its ground projection, made the first time a site comes near.
  const GroundCutter::GroundLine* GroundOf(std::size_t line);

  const FlowlineLines& lines_;
  LineIndex index_;
  GroundCutter cutter_;
  std::vector<std::unique_ptr<GroundCutter::GroundLine>> ground_;
  std::vector<char> grounded_;  // whether ground_[i] was tried
  std::vector<std::size_t> near_;
};

}  // namespace rill::geo
