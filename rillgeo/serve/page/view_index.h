// The flowlines a map view shows: those whose box meets the view, the
// longest first, bounded in count, with the lines too short to see at the
// view's scale left out. Built once over the loaded lines; read only after.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "rillgeo/geometry/flowline_lines.h"

namespace rill::geo {

// A box in longitude/latitude (west <= east, south <= north).
struct LonLatBox {
  double west = 0.0;
  double south = 0.0;
  double east = 0.0;
  double north = 0.0;
};

struct ViewLines {
  std::vector<std::size_t> found;  // positions in lines.all(), longest first
  bool thinned = false;            // lines in the view were left out (too short to see, or over the bound)
};

class ViewIndex {
 public:
  // Indexes every line of `lines` with at least two points; `lines` must
  // outlive the index.
  explicit ViewIndex(const FlowlineLines& lines);

  // The lines whose box meets `view`, longest first, at most `limit`,
  // leaving out those whose box spans less than `minSpan` degrees (about
  // a pixel's span at the view's scale).
  ViewLines Find(const LonLatBox& view, double minSpan, std::size_t limit) const;

  // The box of every indexed line; all zero when there is none.
  const LonLatBox& extent() const { return extent_; }
  std::size_t size() const { return byLength_.size(); }

 private:
  bool Meets(std::size_t rank, const LonLatBox& view) const;
  static std::size_t CellOf(double value, double origin, double size, std::size_t count);

  const FlowlineLines& lines_;
  std::vector<std::size_t> byLength_;  // positions in lines.all(), longest span first
  std::vector<double> span_;           // span of each, by rank
  LonLatBox extent_;
  // A grid over the extent; each cell lists the ranks of the lines whose
  // box meets it, in rank order.
  double cellWidth_ = 1.0;
  double cellHeight_ = 1.0;
  std::size_t columns_ = 1;
  std::size_t rows_ = 1;
  std::vector<std::vector<std::uint32_t>> cells_;
};

}  // namespace rill::geo
