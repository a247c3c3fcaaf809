#include "rillgeo/line_snapper.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace rill::geo {

LineSnapper::LineSnapper(const FlowlineLines& lines) : lines_(lines), index_(lines) {}

std::vector<LineMatch> LineSnapper::Nearest(double lon, double lat, double radius, std::size_t count) {
  std::vector<LineMatch> matches;
  index_.Near(lon, lat, radius, near_);
  for (std::size_t i : near_) {
    const FlowlineLine& entry = lines_.all()[i];
    const auto snap = cutter_.Nearest(*entry.line, entry.partStarts, lon, lat);
    if (snap && snap->offset <= radius) matches.push_back({i, *snap});
  }
  // Millimetres: lines equally near up to the noise of coordinates and projections tie.
  const auto key = [](const LineMatch& m) { return std::make_tuple(std::llround(m.snap.offset * 1e3), m.line); };
  std::sort(matches.begin(), matches.end(), [&](const LineMatch& a, const LineMatch& b) { return key(a) < key(b); });
  if (matches.size() > count) matches.resize(count);
  return matches;
}

bool LineSnapper::PointOf(const LineMatch& match, OGRPoint& point) {
  return cutter_.PointAt(*lines_.all()[match.line].line, match.snap.share, point);
}

}  // namespace rill::geo
