#include "rillgeo/geometry/ground_cutter.h"

#include <algorithm>
#include <cmath>

#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

GroundCutter::GroundCutter() {
  wgs84_.SetWellKnownGeogCS("WGS84");
  wgs84_.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
}

GroundCutter::Projection& GroundCutter::ProjectionFor(const OGRLineString& line) {
  const std::pair<int, int> cell{static_cast<int>(std::floor(line.getX(0))),
                                 static_cast<int>(std::floor(line.getY(0)))};
  auto it = cells_.find(cell);
  if (it != cells_.end()) return it->second;
  OGRSpatialReference local;
  local.SetWellKnownGeogCS("WGS84");
  local.SetAE(cell.second + 0.5, cell.first + 0.5, 0.0, 0.0);
  local.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  Projection projection{
      std::unique_ptr<OGRCoordinateTransformation>(OGRCreateCoordinateTransformation(&wgs84_, &local)),
      std::unique_ptr<OGRCoordinateTransformation>(OGRCreateCoordinateTransformation(&local, &wgs84_))};
  if (!projection.toLocal || !projection.toLonLat)
    throw GeoError("no equidistant projection for a line near its start");
  return cells_.emplace(cell, std::move(projection)).first->second;
}

std::unique_ptr<OGRLineString> GroundCutter::Cut(const OGRLineString& line, double from, double to) {
  if (line.getNumPoints() < 2) return nullptr;
  Projection& projection = ProjectionFor(line);
  OGRLineString local(line);
  if (local.transform(projection.toLocal.get()) != OGRERR_NONE || !(local.get_Length() > 0.0)) return nullptr;
  std::unique_ptr<OGRLineString> piece(local.getSubLine(std::clamp(from, 0.0, 1.0), std::clamp(to, 0.0, 1.0), TRUE));
  if (!piece || piece->getNumPoints() < 2 || piece->transform(projection.toLonLat.get()) != OGRERR_NONE) return nullptr;
  return piece;
}

bool GroundCutter::PointAt(const OGRLineString& line, double at, OGRPoint& point) {
  const std::optional<GroundLine> ground = Ground(line);
  return ground && PointAt(*ground, at, point);
}

bool GroundCutter::PointAt(const GroundLine& ground, double at, OGRPoint& point) const {
  ground.local.Value(std::clamp(at, 0.0, 1.0) * ground.local.get_Length(), &point);
  return point.transform(ground.projection->toLonLat.get()) == OGRERR_NONE;
}

double GroundCutter::LengthMeters(const OGRLineString& line) {
  if (line.getNumPoints() < 2) return 0.0;
  OGRLineString local(line);
  if (local.transform(ProjectionFor(line).toLocal.get()) != OGRERR_NONE) return 0.0;
  return local.get_Length();
}

}  // namespace rill::geo

namespace rill::geo {

std::optional<GroundCutter::GroundLine> GroundCutter::Ground(const OGRLineString& line) {
  if (line.getNumPoints() < 2) return std::nullopt;
  Projection& projection = ProjectionFor(line);
  GroundLine ground{line, &projection};
  if (ground.local.transform(projection.toLocal.get()) != OGRERR_NONE) return std::nullopt;
  return ground;
}

bool GroundCutter::ToGround(const GroundLine& ground, double& x, double& y) const {
  return ground.projection->toLocal->Transform(1, &x, &y) != 0;
}

std::optional<GroundSnap> GroundCutter::Nearest(const GroundLine& ground, std::span<const int> partStarts, double x,
                                                double y) {
  const OGRLineString& local = ground.local;
  double along = 0.0;
  double bestAlong = 0.0;
  double bestSquare = -1.0;
  std::size_t gap = 0;
  for (int i = 0; i + 1 < local.getNumPoints(); ++i) {
    const double ax = local.getX(i), ay = local.getY(i);
    const double dx = local.getX(i + 1) - ax, dy = local.getY(i + 1) - ay;
    const double length = std::sqrt(dx * dx + dy * dy);  // as get_Length sums it
    while (gap < partStarts.size() && partStarts[gap] < i + 1) ++gap;
    if (gap < partStarts.size() && partStarts[gap] == i + 1) {
      along += length;  // the gap between two parts counts in the length, as a cut counts it
      continue;
    }
    const double t = length > 0.0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / (length * length), 0.0, 1.0) : 0.0;
    const double ex = ax + t * dx - x, ey = ay + t * dy - y;
    const double square = ex * ex + ey * ey;
    // The first segment wins a tie, so a vertex belongs to the segment it ends.
    if (bestSquare < 0.0 || square < bestSquare) {
      bestSquare = square;
      bestAlong = along + t * length;
    }
    along += length;
  }
  const double total = local.get_Length();
  if (bestSquare < 0.0 || !(total > 0.0)) return std::nullopt;
  return GroundSnap{std::clamp(bestAlong / total, 0.0, 1.0), std::sqrt(bestSquare)};
}

}  // namespace rill::geo
