#include "rillgeo/serve/page/view_index.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace rill::geo {
namespace {

// About this many lines per cell of the grid.
constexpr double kLinesPerCell = 16.0;
// The grid has at most this many columns and rows.
constexpr std::size_t kMaxCellsAcross = 2048;

// The line's own length in degrees, longitude scaled by the cosine of the latitude.
double LengthOf(const OGRLineString& line) {
  double length = 0.0;
  for (int i = 1; i < line.getNumPoints(); ++i) {
    const double scale = std::cos((line.getY(i) + line.getY(i - 1)) * (M_PI / 360.0));
    length += std::hypot((line.getX(i) - line.getX(i - 1)) * scale, line.getY(i) - line.getY(i - 1));
  }
  return length;
}

// Each line's length plus that of every line upstream, the lines joined
// where one's ToNode is another's FromNode, summed in topological order
// (a line in a loop of the data gets what reached it before the loop).
// A line that splits passes its whole sum to each of its branches.
std::vector<double> UpstreamLengths(const std::vector<FlowlineLine>& all) {
  std::unordered_multimap<std::int64_t, std::size_t> byFromNode;
  byFromNode.reserve(all.size());
  for (std::size_t i = 0; i < all.size(); ++i) byFromNode.emplace(all[i].fromNode, i);
  std::vector<double> upstream(all.size(), 0.0);
  std::vector<std::uint32_t> waiting(all.size(), 0);  // lines above, not yet summed
  for (const FlowlineLine& line : all) {
    const auto [first, last] = byFromNode.equal_range(line.toNode);
    for (auto it = first; it != last; ++it) ++waiting[it->second];
  }
  std::vector<std::size_t> ready;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].line != nullptr) upstream[i] = LengthOf(*all[i].line);
    if (waiting[i] == 0) ready.push_back(i);
  }
  while (!ready.empty()) {
    const std::size_t done = ready.back();
    ready.pop_back();
    const auto [first, last] = byFromNode.equal_range(all[done].toNode);
    for (auto it = first; it != last; ++it) {
      upstream[it->second] += upstream[done];
      if (--waiting[it->second] == 0) ready.push_back(it->second);
    }
  }
  return upstream;
}

}  // namespace

ViewIndex::ViewIndex(const FlowlineLines& lines) : lines_(lines), upstream_(UpstreamLengths(lines.all())) {
  const std::vector<FlowlineLine>& all = lines.all();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].line != nullptr && all[i].line->getNumPoints() >= 2) byLength_.push_back(i);
  }
  std::stable_sort(byLength_.begin(), byLength_.end(),
                   [&](std::size_t a, std::size_t b) { return upstream_[a] > upstream_[b]; });
  upstreamByRank_.reserve(byLength_.size());
  for (const std::size_t i : byLength_) upstreamByRank_.push_back(upstream_[i]);
  if (byLength_.empty()) return;

  const OGREnvelope& first = all[byLength_.front()].envelope;
  extent_ = {first.MinX, first.MinY, first.MaxX, first.MaxY};
  for (const std::size_t i : byLength_) {
    const OGREnvelope& box = all[i].envelope;
    extent_.west = std::min(extent_.west, box.MinX);
    extent_.south = std::min(extent_.south, box.MinY);
    extent_.east = std::max(extent_.east, box.MaxX);
    extent_.north = std::max(extent_.north, box.MaxY);
  }
  const double width = std::max(extent_.east - extent_.west, 1e-9);
  const double height = std::max(extent_.north - extent_.south, 1e-9);
  const double cells = std::max(1.0, static_cast<double>(byLength_.size()) / kLinesPerCell);
  const double side = std::sqrt(width * height / cells);
  columns_ = std::clamp<std::size_t>(static_cast<std::size_t>(std::ceil(width / side)), 1, kMaxCellsAcross);
  rows_ = std::clamp<std::size_t>(static_cast<std::size_t>(std::ceil(height / side)), 1, kMaxCellsAcross);
  cellWidth_ = width / static_cast<double>(columns_);
  cellHeight_ = height / static_cast<double>(rows_);
  cells_.resize(columns_ * rows_);
  for (std::size_t rank = 0; rank < byLength_.size(); ++rank) {
    const OGREnvelope& box = all[byLength_[rank]].envelope;
    const std::size_t x0 = CellOf(box.MinX, extent_.west, cellWidth_, columns_);
    const std::size_t x1 = CellOf(box.MaxX, extent_.west, cellWidth_, columns_);
    const std::size_t y0 = CellOf(box.MinY, extent_.south, cellHeight_, rows_);
    const std::size_t y1 = CellOf(box.MaxY, extent_.south, cellHeight_, rows_);
    for (std::size_t y = y0; y <= y1; ++y) {
      for (std::size_t x = x0; x <= x1; ++x) cells_[y * columns_ + x].push_back(static_cast<std::uint32_t>(rank));
    }
  }
}

// The cell, of `count` cells of `size` from `origin`, that holds `value`;
// the first or the last for a value outside them.
std::size_t ViewIndex::CellOf(double value, double origin, double size, std::size_t count) {
  const double cell = std::floor((value - origin) / size);
  if (!(cell > 0.0)) return 0;
  if (cell >= static_cast<double>(count - 1)) return count - 1;
  return static_cast<std::size_t>(cell);
}

bool ViewIndex::Meets(std::size_t rank, const LonLatBox& view) const {
  const OGREnvelope& box = lines_.all()[byLength_[rank]].envelope;
  return box.MaxX >= view.west && box.MinX <= view.east && box.MaxY >= view.south && box.MinY <= view.north;
}

double ViewIndex::UpstreamLength(std::size_t position) const {
  const FlowlineLine& line = lines_.all()[position];
  return line.line != nullptr && line.line->getNumPoints() >= 2 ? upstream_[position] : 0.0;
}

ViewLines ViewIndex::Find(const LonLatBox& view, double minUpstream, std::size_t limit) const {
  ViewLines result;
  if (byLength_.empty() || view.east < extent_.west || view.west > extent_.east || view.north < extent_.south ||
      view.south > extent_.north) {
    return result;
  }
  // The ranks below `seen` are the lines large enough to draw.
  const std::size_t seen =
      static_cast<std::size_t>(std::upper_bound(upstreamByRank_.begin(), upstreamByRank_.end(), minUpstream,
                                                [](double min, double span) { return span < min; }) -
                               upstreamByRank_.begin());

  const std::size_t x0 = CellOf(view.west, extent_.west, cellWidth_, columns_);
  const std::size_t x1 = CellOf(view.east, extent_.west, cellWidth_, columns_);
  const std::size_t y0 = CellOf(view.south, extent_.south, cellHeight_, rows_);
  const std::size_t y1 = CellOf(view.north, extent_.south, cellHeight_, rows_);
  const double cellsInView = static_cast<double>((x1 - x0 + 1) * (y1 - y0 + 1));

  std::vector<std::size_t> ranks;
  if (cellsInView * kLinesPerCell > static_cast<double>(seen)) {
    // A wide view: the large rivers are few, so walk them, largest first.
    for (std::size_t rank = 0; rank < seen && ranks.size() <= limit; ++rank) {
      if (Meets(rank, view)) ranks.push_back(rank);
    }
    result.thinned = seen < byLength_.size();
  } else {
    for (std::size_t y = y0; y <= y1; ++y) {
      for (std::size_t x = x0; x <= x1; ++x) {
        for (const std::uint32_t rank : cells_[y * columns_ + x]) {
          if (!Meets(rank, view)) continue;
          if (rank >= seen) {
            result.thinned = true;
            break;  // the cell's ranks ascend: the rest are shorter still
          }
          ranks.push_back(rank);
        }
      }
    }
    std::sort(ranks.begin(), ranks.end());
    ranks.erase(std::unique(ranks.begin(), ranks.end()), ranks.end());
  }
  if (ranks.size() > limit) {
    ranks.resize(limit);
    result.thinned = true;
  }
  result.found.reserve(ranks.size());
  for (const std::size_t rank : ranks) result.found.push_back(byLength_[rank]);
  return result;
}

}  // namespace rill::geo
