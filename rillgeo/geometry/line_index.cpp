#include "rillgeo/geometry/line_index.h"

#include <algorithm>
#include <cmath>

#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

namespace {

// Metres per degree of latitude at the least (at the equator), and of
// longitude at the equator; the box is widened a little beyond them, which
// also covers the few parts in 100,000 a local projection stretches.
constexpr double kMetersPerLatitudeDegree = 110574.0;
constexpr double kMetersPerLongitudeDegree = 111320.0;
constexpr double kMargin = 1.02;

struct Collected {
  const FlowlineLine* first;
  std::vector<std::size_t>* found;
};

void Collect(void* item, void* userdata) {
  auto* collected = static_cast<Collected*>(userdata);
  collected->found->push_back(static_cast<std::size_t>(static_cast<const FlowlineLine*>(item) - collected->first));
}

}  // namespace

LineIndex::LineIndex(const FlowlineLines& lines)
    : first_(lines.all().data()), context_(GEOS_init_r()), tree_(GEOSSTRtree_create_r(context_, 10)) {
  if (context_ == nullptr || tree_ == nullptr) throw GeoError("the spatial index of the lines cannot be made");
  for (const FlowlineLine& entry : lines.all()) {
    if (entry.line->getNumPoints() < 2) continue;
    OGREnvelope box;
    entry.line->getEnvelope(&box);
    // The tree keeps a copy of the box, not the geometry.
    GEOSGeometry* rectangle = GEOSGeom_createRectangle_r(context_, box.MinX, box.MinY, box.MaxX, box.MaxY);
    GEOSSTRtree_insert_r(context_, tree_, rectangle, const_cast<FlowlineLine*>(&entry));
    GEOSGeom_destroy_r(context_, rectangle);
  }
}

LineIndex::~LineIndex() {
  if (tree_ != nullptr) GEOSSTRtree_destroy_r(context_, tree_);
  if (context_ != nullptr) GEOS_finish_r(context_);
}

void LineIndex::Near(double lon, double lat, double meters, std::vector<std::size_t>& found) {
  found.clear();
  const double dLat = meters * kMargin / kMetersPerLatitudeDegree;
  const double poleward = std::min(89.0, std::fabs(lat) + dLat);
  const double dLon =
      std::min(180.0, meters * kMargin / (kMetersPerLongitudeDegree * std::cos(poleward * M_PI / 180.0)));
  GEOSGeometry* box = GEOSGeom_createRectangle_r(context_, lon - dLon, lat - dLat, lon + dLon, lat + dLat);
  Collected collected{first_, &found};
  GEOSSTRtree_query_r(context_, tree_, box, Collect, &collected);
  GEOSGeom_destroy_r(context_, box);
  std::sort(found.begin(), found.end());
}

}  // namespace rill::geo
