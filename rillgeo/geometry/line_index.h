// A spatial index of the flowlines' lines: GEOS's STRtree over their
// bounding boxes in longitude/latitude.
#pragma once

#include <geos_c.h>

#include <cstddef>
#include <vector>

#include "rillgeo/geometry/flowline_lines.h"
#include "text/status.h"

namespace rill::geo {

class LineIndex {
 public:
  // Indexes every line of `lines` (which must outlive the index) that has
  // at least two points; a fault (Fault::Failed) when GEOS cannot make the
  // tree.
  static StatusOr<LineIndex> Build(const FlowlineLines& lines);
  ~LineIndex();
  LineIndex(LineIndex&& other) noexcept;
  LineIndex(const LineIndex&) = delete;
  LineIndex& operator=(const LineIndex&) = delete;

  // Sets `found` to the positions in lines.all() of the lines whose box
  // meets a box around (lon, lat) that holds every point within `meters`
  // on the ground, in ascending order. The tree is built on the first call.
  void Near(double lon, double lat, double meters, std::vector<std::size_t>& found);

 private:
  explicit LineIndex(const FlowlineLines& lines);

  const FlowlineLine* first_;
  GEOSContextHandle_t context_;
  GEOSSTRtree* tree_;
};

}  // namespace rill::geo
