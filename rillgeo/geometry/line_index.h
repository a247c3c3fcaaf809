// A spatial index of the flowlines' lines: GEOS's STRtree over their
// bounding boxes in longitude/latitude.
#pragma once

#include <geos_c.h>

#include <cstddef>
#include <vector>

#include "rillgeo/geometry/flowline_lines.h"

namespace rill::geo {

class LineIndex {
 public:
  // Indexes every line of `lines` that has at least two points.
  explicit LineIndex(const FlowlineLines& lines);
  ~LineIndex();
  LineIndex(const LineIndex&) = delete;
  LineIndex& operator=(const LineIndex&) = delete;

  // Sets `found` to the positions in lines.all() of the lines whose box
  // meets a box around (lon, lat) that holds every point within `meters`
  // on the ground, in ascending order. The tree is built on the first call.
  void Near(double lon, double lat, double meters, std::vector<std::size_t>& found);

 private:
  const FlowlineLine* first_;
  GEOSContextHandle_t context_;
  GEOSSTRtree* tree_;
};

}  // namespace rill::geo
