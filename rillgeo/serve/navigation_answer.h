// A navigation asked through a linked-data URL, walked on the one engine
// and answered as the flowlines it passes (cut at their measures, with the
// travel distance of each piece) or as the sites of a source it passes
// (with the travel distance of each).
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "rillgeo/serve/feature_json.h"
#include "rillgeo/serve/request_pool.h"
#include "rillgeo/serve/served_network.h"

namespace rill::geo {

enum class NavMode { UpstreamMain, UpstreamTributaries, DownstreamMain, DownstreamDiversions, PointToPoint };

// UM, UT, DM, DD or PP; nothing for any other text.
std::optional<NavMode> ReadNavMode(std::string_view code);

struct NavigationAsk {
  NavMode mode = NavMode::DownstreamMain;
  std::int32_t startReach = -1;       // index in the reach table
  FlowlineStart whole;                // the start flowline's stretch of its reach
  std::optional<double> siteMeasure;  // set: the walk starts at a site, here
  std::optional<FlowlineStart> stop;  // point to point: the stop flowline
  std::optional<double> distanceKm;   // nothing: no limit
  bool trimStart = false;
  double trimTolerance = 0.0;  // percent of the start flowline
  bool excludeGeometry = false;
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
};

// The navigation walked, or a 503 answer when the deadline passed first.
struct WalkedNavigation {
  Navigation navigation;
  std::optional<RouteAnswer> stopped;
};
WalkedNavigation Walk(const ServedNetwork& network, WorkerState& worker, const NavigationAsk& ask);

// The flowlines passed, one feature per result row.
RouteAnswer FlowlinesAnswer(const ServedNetwork& network, WorkerState& worker, const NavigationAsk& ask,
                            const Navigation& navigation);

// The sites of `source` passed, by the exact rule, in order of distance.
RouteAnswer SitesAnswer(const ServedNetwork& network, const SiteSource& source, const Navigation& navigation,
                        const std::string& base);

}  // namespace rill::geo
