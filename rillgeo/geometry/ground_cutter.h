// Lengths and cuts along lines on the ground. A line in longitude/latitude
// is measured in an azimuthal equidistant projection centred on the
// one-degree cell it starts in: within such a cell lengths are true to a
// few parts in 100,000, so a cut lands well within a metre of its place.
#pragma once

#include <ogr_geometry.h>
#include <ogr_spatialref.h>

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <utility>

namespace rill::geo {

// Where a point lies against a line on the ground.
struct GroundSnap {
  double share = 0.0;   // of the line's ground length, from its first point to the nearest point
  double offset = 0.0;  // metres from the point to that nearest point
};

class GroundCutter {
  struct Projection;

 public:
  GroundCutter();

  // The part of `line` (WGS 84 longitude/latitude) between the shares
  // `from` and `to` (0 <= from <= to <= 1) of its length on the ground,
  // counted from its first point; in longitude/latitude. nullptr for a
  // line without length.
  std::unique_ptr<OGRLineString> Cut(const OGRLineString& line, double from, double to);

  // The point at share `at` of the line's length from its first point: the
  // one place a share becomes a point, for cuts' ends and snapped sites alike.
  bool PointAt(const OGRLineString& line, double at, OGRPoint& point);

  // A line as the ground projection of its cell sees it, kept by a caller
  // that measures against it again and again.
  struct GroundLine {
    OGRLineString local;
    const Projection* projection = nullptr;  // the cell's, owned by the cutter
  };
  // `line` in its ground projection; nothing for a line that has fewer than
  // two points or cannot be projected.
  std::optional<GroundLine> Ground(const OGRLineString& line);
  // (lon, lat) in the projection of `ground`; false when it cannot be projected.
  bool ToGround(const GroundLine& ground, double& x, double& y) const;

  // PointAt on a line already in its ground projection.
  bool PointAt(const GroundLine& ground, double at, OGRPoint& point) const;

  // The nearest point of `ground` to (x, y) in the same projection, on any
  // of its segments but the gaps that join two parts (a segment ending at
  // an index of `partStarts`); nothing for a line without length.
  static std::optional<GroundSnap> Nearest(const GroundLine& ground, std::span<const int> partStarts, double x,
                                           double y);

  // The length of `line` on the ground, in metres.
  double LengthMeters(const OGRLineString& line);

 private:
  struct Projection {
    std::unique_ptr<OGRCoordinateTransformation> toLocal;
    std::unique_ptr<OGRCoordinateTransformation> toLonLat;
  };
  // The projection of the cell `line` starts in, made once per cell.
  Projection& ProjectionFor(const OGRLineString& line);

  OGRSpatialReference wgs84_;
  std::map<std::pair<int, int>, Projection> cells_;
};

}  // namespace rill::geo
