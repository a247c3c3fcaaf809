// The flowlines a map view shows: those whose box meets the view, the
// larger rivers first, bounded in count, with the streams too small for the
// view's scale left out. A flowline's size is the length of the network
// above its downstream end (its own line and every line that drains into
// it, followed by the lines' nodes), so that a river stays whole at small
// scales however short its flowlines are. Built once over the loaded lines;
// read only after.
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
  std::vector<std::size_t> found;  // positions in lines.all(), larger rivers first
  bool thinned = false;            // lines in the view were left out (too small, or over the bound)
};

class ViewIndex {
 public:
  // Indexes every line of `lines` with at least two points; `lines` must
  // outlive the index.
  explicit ViewIndex(const FlowlineLines& lines);

  // The lines whose box meets `view`, larger rivers first (in file order
  // among equals), at most `limit`, leaving out those with less than
  // `minUpstream` degrees of network above their downstream end.
  ViewLines Find(const LonLatBox& view, double minUpstream, std::size_t limit) const;

  // The length in degrees (of latitude, longitude scaled by the cosine of
  // the latitude) of the network above the downstream end of the line at
  // `position` in lines.all(); 0 for a line that is not indexed.
  double UpstreamLength(std::size_t position) const;

  // The box of every indexed line; all zero when there is none.
  const LonLatBox& extent() const { return extent_; }
  std::size_t size() const { return byLength_.size(); }

 private:
  bool Meets(std::size_t rank, const LonLatBox& view) const;
  static std::size_t CellOf(double value, double origin, double size, std::size_t count);

  const FlowlineLines& lines_;
  std::vector<double> upstream_;        // by position in lines.all()
  std::vector<std::size_t> byLength_;   // positions in lines.all(), most network above first
  std::vector<double> upstreamByRank_;  // the upstream length of each, by rank
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
