#include "rillgeo/serve/navigation_answer.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "batch/sites_passed.h"

namespace rill::geo {

namespace {

using Clock = std::chrono::steady_clock;

struct ModeWord {
  const char* code;
  NavMode mode;
};
constexpr ModeWord kModes[] = {{"UM", NavMode::UpstreamMain},
                               {"UT", NavMode::UpstreamTributaries},
                               {"DM", NavMode::DownstreamMain},
                               {"DD", NavMode::DownstreamDiversions},
                               {"PP", NavMode::PointToPoint}};

bool Upstream(NavMode mode) { return mode == NavMode::UpstreamMain || mode == NavMode::UpstreamTributaries; }

NavigationRequest RequestOf(const ServedNetwork& network, const NavigationAsk& ask) {
  NavigationRequest r;
  const bool mainPath = ask.mode == NavMode::UpstreamMain || ask.mode == NavMode::DownstreamMain;
  if (ask.mode == NavMode::PointToPoint) {
    r.kind = NavKind::PointToPoint;
  } else if (mainPath) {
    r.kind = ask.distanceKm ? NavKind::MainstemToDistance : NavKind::Mainstem;
  } else {
    r.kind = ask.distanceKm ? NavKind::NetworkToDistance : NavKind::Network;
  }
  r.direction = Upstream(ask.mode) ? Direction::Up : Direction::Down;
  r.directionText = Upstream(ask.mode) ? "U" : "D";
  const ReachRecord& start = network.tables().reaches()[static_cast<std::size_t>(ask.startReach)];
  r.startComid = start.Com_id;
  // From a flowline the walk takes all of it: up from its downstream end,
  // down from its upstream end; from a site, at the site.
  r.startMeasure = ask.siteMeasure.value_or(Upstream(ask.mode) ? ask.whole.fromMeasure : ask.whole.toMeasure);
  if (ask.stop) {
    const ReachRecord& stop = network.tables().reaches()[static_cast<std::size_t>(ask.stop->reach)];
    r.endComid = stop.Com_id;
    r.endMeasure = ask.stop->fromMeasure;  // the stop flowline is passed whole
  }
  r.distance = ask.distanceKm.value_or(0.0);
  r.units = DistanceUnit::Kilometers;
  return r;
}

RouteAnswer TooLong() {
  return ErrorAnswer(503, "the navigation ran longer than the service's --timeout and was stopped");
}

// The stretch of the row's reach the feature draws: the row's measures, or,
// for the start row of a walk from a site, the whole start flowline unless
// trimStart asks for the cut (and it cuts off at least trimTolerance percent).
std::pair<double, double> DrawnStretch(const NavigationAsk& ask, const Navigation& navigation, std::size_t i) {
  const ResultRow& row = navigation.rows[i];
  double low = std::min(row.fromMeasure, row.toMeasure);
  double high = std::max(row.fromMeasure, row.toMeasure);
  const bool startRow = i == 0 && ask.siteMeasure && !navigation.pointsSwapped;
  if (!startRow) return {low, high};
  const double span = ask.whole.toMeasure - ask.whole.fromMeasure;
  const double kept = std::min(high, ask.whole.toMeasure) - std::max(low, ask.whole.fromMeasure);
  const double cutOff = span > 0.0 ? (span - std::max(kept, 0.0)) / span * 100.0 : 0.0;
  if (ask.trimStart && cutOff >= ask.trimTolerance) return {low, high};
  return {std::min(low, ask.whole.fromMeasure), std::max(high, ask.whole.toMeasure)};
}

// The row's stretch cut out of the lines of its reach's sections.
std::unique_ptr<OGRGeometry> CutRow(const ServedNetwork& network, GroundCutter& cutter, std::int32_t comId, double low,
                                    double high) {
  auto parts = std::make_unique<OGRMultiLineString>();
  std::unique_ptr<OGRLineString> dot;
  for (const ServedNetwork::SectionLine& s : network.LinesOf(comId)) {
    const double span = s.toMeasure - s.fromMeasure;
    if (!(span > 0.0)) continue;
    const double from = std::max(low, s.fromMeasure);
    const double to = std::min(high, s.toMeasure);
    if (from == s.fromMeasure && to == s.toMeasure) {
      // The whole line: nothing to measure on the ground.
      parts->addGeometry(s.line->line.get());
    } else if (to > from) {
      // Measures count from the downstream end, the line from the upstream one.
      auto piece = cutter.Cut(*s.line->line, 1.0 - (to - s.fromMeasure) / span, 1.0 - (from - s.fromMeasure) / span);
      if (piece) parts->addGeometryDirectly(piece.release());
    } else if (to == from && !dot) {
      // A stretch without length is drawn as its one point, twice.
      OGRPoint point;
      if (cutter.PointAt(*s.line->line, 1.0 - (from - s.fromMeasure) / span, point)) {
        dot = std::make_unique<OGRLineString>();
        dot->addPoint(point.getX(), point.getY());
        dot->addPoint(point.getX(), point.getY());
      }
    }
  }
  if (parts->getNumGeometries() == 1) return std::unique_ptr<OGRGeometry>(parts->getGeometryRef(0)->clone());
  if (parts->getNumGeometries() > 1) return parts;
  return dot;
}

}  // namespace

std::optional<NavMode> ReadNavMode(std::string_view code) {
  for (const ModeWord& m : kModes) {
    if (code == m.code) return m.mode;
  }
  return std::nullopt;
}

WalkedNavigation Walk(const ServedNetwork& network, WorkerState& worker, const NavigationAsk& ask) {
  WalkedNavigation walked;
  TextWriter log = TextWriter::Discarding();
  worker.workspace.StopWalksAt(ask.deadline);
  walked.navigation = Navigate(network.tables(), RequestOf(network, ask), log, &worker.workspace);
  worker.workspace.NoDeadline();
  if (walked.navigation.stopped) walked.stopped = TooLong();
  return walked;
}

RouteAnswer FlowlinesAnswer(const ServedNetwork& network, WorkerState& worker, const NavigationAsk& ask,
                            const Navigation& navigation) {
  nlohmann::json features = nlohmann::json::array();
  for (std::size_t i = 0; i < navigation.rows.size(); ++i) {
    if (i % 64 == 63 && Clock::now() >= ask.deadline) return TooLong();
    const ResultRow& row = navigation.rows[i];
    nlohmann::json geometry;
    if (!ask.excludeGeometry) {
      const auto [low, high] = DrawnStretch(ask, navigation, i);
      geometry = GeometryJson(CutRow(network, worker.cutter, row.comId, low, high).get());
    }
    nlohmann::json properties = {{"nhdplus_comid", std::to_string(network.PublicId(row.comId))},
                                 {"reachcode", std::string(row.code())},
                                 {"from_measure", row.fromMeasure},
                                 {"to_measure", row.toMeasure},
                                 {"travel_km_from", row.distance - row.length},
                                 {"travel_km_to", row.distance}};
    features.push_back({{"type", "Feature"}, {"geometry", std::move(geometry)}, {"properties", std::move(properties)}});
  }
  if (!worker.cutter.status().ok()) return ErrorAnswer(500, worker.cutter.status().message());
  return Collection(std::move(features));
}

RouteAnswer SitesAnswer(const ServedNetwork& network, const SiteSource& source, const Navigation& navigation,
                        const std::string& base) {
  nlohmann::json features = nlohmann::json::array();
  for (const PassedSite& passed : SitesPassed(navigation, *source.placed, FeatureMatch::Exact)) {
    const ServedSite* site = ServedNetwork::SiteOf(source, passed.site);
    if (site == nullptr) continue;
    nlohmann::json feature = SiteFeature(network, source, *site, base);
    feature["properties"]["distance_km"] = passed.distance;
    features.push_back(std::move(feature));
  }
  return Collection(std::move(features));
}

}  // namespace rill::geo
