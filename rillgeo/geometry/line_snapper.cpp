#include "rillgeo/geometry/line_snapper.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace rill::geo {

LineSnapper::LineSnapper(const FlowlineLines& lines)
    : lines_(lines), index_(lines), ground_(lines.all().size()), grounded_(lines.all().size(), 0) {}

const GroundCutter::GroundLine* LineSnapper::GroundOf(std::size_t line) {
  if (!grounded_[line]) {
    grounded_[line] = 1;
    if (auto ground = cutter_.Ground(*lines_.all()[line].line)) {
      ground_[line] = std::make_unique<GroundCutter::GroundLine>(std::move(*ground));
    }
  }
  return ground_[line].get();
}

std::vector<LineMatch> LineSnapper::Nearest(double lon, double lat, double radius, std::size_t count) {
  std::vector<LineMatch> matches;
  index_.Near(lon, lat, radius, near_);
  // The site in the projection of the last line's cell: most lines near it
  // start in the same cell.
  const GroundCutter::GroundLine* last = nullptr;
  double x = 0.0, y = 0.0;
  bool projected = false;
  for (std::size_t i : near_) {
    const GroundCutter::GroundLine* ground = GroundOf(i);
    if (ground == nullptr) continue;
    if (last == nullptr || ground->projection != last->projection) {
      last = ground;
      x = lon;
      y = lat;
      projected = cutter_.ToGround(*ground, x, y);
    }
    if (!projected) continue;
    const auto snap = GroundCutter::Nearest(*ground, lines_.all()[i].partStarts, x, y);
    if (snap && snap->offset <= radius) matches.push_back({i, *snap});
  }
  // Millimetres: lines equally near up to the noise of coordinates and projections tie.
  const auto key = [](const LineMatch& m) { return std::make_tuple(std::llround(m.snap.offset * 1e3), m.line); };
  std::sort(matches.begin(), matches.end(), [&](const LineMatch& a, const LineMatch& b) { return key(a) < key(b); });
  if (matches.size() > count) matches.resize(count);
  return matches;
}

bool LineSnapper::PointOf(const LineMatch& match, OGRPoint& point) {
  const GroundCutter::GroundLine* ground = GroundOf(match.line);
  return ground != nullptr && cutter_.PointAt(*ground, match.snap.share, point);
}

}  // namespace rill::geo
