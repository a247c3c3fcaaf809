#include "rillgeo/serve/page/view_index.h"

#include <algorithm>
#include <cmath>

namespace rill::geo {
namespace {

// About this many lines per cell of the grid.
constexpr double kLinesPerCell = 16.0;
// The grid has at most this many columns and rows.
constexpr std::size_t kMaxCellsAcross = 2048;

double SpanOf(const OGREnvelope& box) { return std::max(box.MaxX - box.MinX, box.MaxY - box.MinY); }

}  // namespace

ViewIndex::ViewIndex(const FlowlineLines& lines) : lines_(lines) {
  const std::vector<FlowlineLine>& all = lines.all();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].line != nullptr && all[i].line->getNumPoints() >= 2) byLength_.push_back(i);
  }
  std::stable_sort(byLength_.begin(), byLength_.end(),
                   [&](std::size_t a, std::size_t b) { return SpanOf(all[a].envelope) > SpanOf(all[b].envelope); });
  span_.reserve(byLength_.size());
  for (const std::size_t i : byLength_) span_.push_back(SpanOf(all[i].envelope));
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

ViewLines ViewIndex::Find(const LonLatBox& view, double minSpan, std::size_t limit) const {
  ViewLines result;
  if (byLength_.empty() || view.east < extent_.west || view.west > extent_.east || view.north < extent_.south ||
      view.south > extent_.north) {
    return result;
  }
  // The ranks below `seen` are the lines long enough to see.
  const std::size_t seen = static_cast<std::size_t>(
      std::upper_bound(span_.begin(), span_.end(), minSpan, [](double min, double span) { return span < min; }) -
      span_.begin());

  const std::size_t x0 = CellOf(view.west, extent_.west, cellWidth_, columns_);
  const std::size_t x1 = CellOf(view.east, extent_.west, cellWidth_, columns_);
  const std::size_t y0 = CellOf(view.south, extent_.south, cellHeight_, rows_);
  const std::size_t y1 = CellOf(view.north, extent_.south, cellHeight_, rows_);
  const double cellsInView = static_cast<double>((x1 - x0 + 1) * (y1 - y0 + 1));

  std::vector<std::size_t> ranks;
  if (cellsInView * kLinesPerCell > static_cast<double>(seen)) {
    // A wide view: the long lines are few, so walk them, longest first.
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
