#include "rillgeo/serve/linked_data_routes.h"

#include <httplib.h>

#include <string_view>
#include <variant>
#include <vector>

#include "rillgeo/serve/navigation_answer.h"
#include "rillgeo/serve/query_values.h"

namespace rill::geo {

namespace {

constexpr const char* kComidName = "NHDPlus comid";

struct ModeLink {
  const char* name;
  const char* code;
};
constexpr ModeLink kModeLinks[] = {
    {"upstreamMain", "UM"}, {"upstreamTributaries", "UT"}, {"downstreamMain", "DM"}, {"downstreamDiversions", "DD"}};

std::vector<std::string> Segments(std::string_view path) {
  std::vector<std::string> segments;
  std::size_t at = 0;
  while (at <= path.size()) {
    const std::size_t slash = path.find('/', at);
    const std::size_t end = slash == std::string_view::npos ? path.size() : slash;
    segments.emplace_back(path.substr(at, end - at));
    if (slash == std::string_view::npos) break;
    at = slash + 1;
  }
  return segments;
}

std::string Param(const LinkedDataAsk& ask, const char* name) {
  const auto it = ask.params.find(name);
  return it == ask.params.end() ? std::string() : it->second;
}

RouteAnswer Json(const nlohmann::json& body) { return {200, kJson, body.dump()}; }

RouteAnswer Unusable(const Status& status) { return ErrorAnswer(400, status.message()); }

// Where a navigation starts: a flowline of the network, or a placed site.
struct Origin {
  std::optional<FlowlineStart> flowline;
  const SiteSource* source = nullptr;  // nullptr: the comid source
  const ServedSite* site = nullptr;
};

// The origin named by source and id, or the 404 answer that says why not.
std::variant<Origin, RouteAnswer> FindOrigin(const ServedNetwork& network, const std::string& sourceName,
                                             const std::string& id) {
  Origin origin;
  if (sourceName == "comid") {
    const std::optional<std::int64_t> comid = ReadComid(id);
    if (!comid) return ErrorAnswer(400, "comid \"" + id.substr(0, 40) + "\" is not a whole number");
    origin.flowline = network.Flowline(*comid);
    if (!origin.flowline) return ErrorAnswer(404, "comid " + id + " is not a flowline of the network");
    return origin;
  }
  origin.source = network.Source(sourceName);
  if (origin.source == nullptr) return ErrorAnswer(404, "no source named \"" + sourceName.substr(0, 40) + "\"");
  const auto it = origin.source->byId.find(id);
  if (it == origin.source->byId.end()) {
    return ErrorAnswer(404, "no feature \"" + id.substr(0, 40) + "\" in source " + sourceName);
  }
  origin.site = &origin.source->sites[it->second];
  if (origin.site->placed == nullptr) {
    return ErrorAnswer(
        404, "feature " + id.substr(0, 40) + " of source " + sourceName + " could not be placed on the network");
  }
  FlowlineStart start;
  start.reach = origin.site->placed->reach;
  const ReachRecord& reach = network.tables().reaches()[static_cast<std::size_t>(start.reach)];
  // The site's flowline: the section of its reach that holds its measure.
  const double m = origin.site->placed->hasMeasure ? origin.site->placed->measure : 0.0;
  for (const SectionRecord& s : network.tables().SectionsOf(reach.Com_id)) {
    if (m >= s.F_meas && m <= s.T_meas) {
      start.fromMeasure = s.F_meas;
      start.toMeasure = s.T_meas;
      break;
    }
  }
  origin.flowline = start;
  return origin;
}

nlohmann::json ComidFeature(const ServedNetwork& network, const FlowlineStart& flowline, std::int64_t comid,
                            const std::string& base) {
  const ReachRecord& reach = network.tables().reaches()[static_cast<std::size_t>(flowline.reach)];
  auto parts = std::make_unique<OGRMultiLineString>();
  for (const ServedNetwork::SectionLine& s : network.LinesOf(reach.Com_id)) {
    if (s.toMeasure > flowline.fromMeasure && s.fromMeasure < flowline.toMeasure)
      parts->addGeometry(s.line->line.get());
  }
  nlohmann::json geometry = nullptr;
  if (parts->getNumGeometries() == 1) {
    geometry = GeometryJson(parts->getGeometryRef(0));
  } else if (parts->getNumGeometries() > 1) {
    geometry = GeometryJson(parts.get());
  }
  const std::string id = std::to_string(comid);
  return {{"type", "Feature"},
          {"geometry", std::move(geometry)},
          {"properties",
           {{"identifier", id},
            {"navigation", base + "/comid/" + id + "/navigation"},
            {"source", "comid"},
            {"sourceName", kComidName},
            {"comid", id},
            {"reachcode", std::string(reach.Code())}}}};
}

RouteAnswer Sources(const ServedNetwork& network, const std::string& base) {
  nlohmann::json list = nlohmann::json::array();
  list.push_back({{"source", "comid"}, {"sourceName", kComidName}, {"features", base + "/comid"}});
  for (const SiteSource& s : network.sources()) {
    list.push_back({{"source", s.name}, {"sourceName", s.name}, {"features", base + "/" + s.name}});
  }
  return Json(list);
}

RouteAnswer AllSites(const ServedNetwork& network, const SiteSource& source, const std::string& base) {
  nlohmann::json features = nlohmann::json::array();
  for (const ServedSite& site : source.sites) features.push_back(SiteFeature(network, source, site, base));
  return Collection(std::move(features));
}

// /comid/position and /hydrolocation: the snap of coords within radius.
RouteAnswer Position(const ServedNetwork& network, const LinkedDataAsk& ask, bool hydrolocation,
                     const std::string& base) {
  const StatusOr<LonLat> point = ReadPoint(Param(ask, "coords"));
  if (!point.ok()) return Unusable(point.status());
  const StatusOr<double> radius = ReadNumberWithin("radius", Param(ask, "radius"), 0.0, 1.0e6, ask.radius);
  if (!radius.ok()) return Unusable(radius.status());
  const std::optional<ServedNetwork::Snapped> snap = network.Snap(point->lon, point->lat, *radius);
  const SectionRecord* section = snap ? network.SectionOf(*snap->line) : nullptr;
  const std::int32_t reach = section != nullptr ? network.tables().FindReachByComId(section->Com_id) : -1;
  if (reach < 0) {
    char within[64];
    std::snprintf(within, sizeof within, "%g", *radius);
    return ErrorAnswer(404, std::string("no flowline of the network within ") + within + " m of the point");
  }
  // Measures count from the downstream end, the line from the upstream one.
  const double s = 1.0 - snap->share;
  const double tableMeasure = section->F_meas + (section->T_meas - section->F_meas) * s;
  const std::int64_t comid = network.PublicId(section->Com_id);
  nlohmann::json properties = {{"table_measure", tableMeasure}, {"offset_m", snap->offset}};
  if (!snap->line->reachCode.empty()) {
    properties["reachcode"] = snap->line->reachCode;
    properties["measure"] = snap->line->fromMeas + (snap->line->toMeas - snap->line->fromMeas) * s;
  }
  if (!hydrolocation) {
    nlohmann::json feature = ComidFeature(network, FlowlineStart{reach, section->F_meas, section->T_meas}, comid, base);
    for (auto& [key, value] : properties.items()) feature["properties"][key] = value;
    return Collection(nlohmann::json::array({std::move(feature)}));
  }
  properties["identifier"] = "";
  properties["navigation"] = "";
  properties["name"] = "";
  properties["source"] = "indexed";
  properties["sourceName"] = "Automatically indexed by the service";
  properties["comid"] = std::to_string(comid);
  nlohmann::json indexed = {
      {"type", "Feature"}, {"geometry", PointJson(snap->lon, snap->lat)}, {"properties", std::move(properties)}};
  nlohmann::json provided = {{"type", "Feature"},
                             {"geometry", PointJson(point->lon, point->lat)},
                             {"properties",
                              {{"identifier", ""},
                               {"navigation", ""},
                               {"measure", ""},
                               {"reachcode", ""},
                               {"name", ""},
                               {"source", "provided"},
                               {"sourceName", "Provided via API call"},
                               {"comid", ""}}}};
  return Collection(nlohmann::json::array({std::move(indexed), std::move(provided)}));
}

// .../navigation/{mode}/{what}: the flowlines or a source's sites passed.
RouteAnswer NavigationRoute(const ServedNetwork& network, WorkerState& worker, const LinkedDataAsk& ask,
                            const Origin& origin, NavMode mode, const std::string& what, const std::string& base) {
  const SiteSource* sites = nullptr;
  if (what != "flowlines") {
    sites = network.Source(what);
    if (sites == nullptr) return ErrorAnswer(404, "no source named \"" + what.substr(0, 40) + "\"");
  }
  NavigationAsk nav;
  nav.mode = mode;
  nav.startReach = origin.flowline->reach;
  nav.whole = *origin.flowline;
  if (origin.site != nullptr && origin.site->placed->hasMeasure) nav.siteMeasure = origin.site->placed->measure;
  nav.deadline = ask.deadline;
  const StatusOr<std::optional<double>> distance = ReadDistanceKm(Param(ask, "distance"));
  if (!distance.ok()) return Unusable(distance.status());
  nav.distanceKm = *distance;
  const std::string stop = Param(ask, "stopComid");
  if (!stop.empty() && mode != NavMode::PointToPoint) {
    return ErrorAnswer(400, "stopComid is for the mode PP only");
  }
  if (mode == NavMode::PointToPoint) {
    if (stop.empty()) return ErrorAnswer(400, "the mode PP needs stopComid");
    const std::optional<std::int64_t> comid = ReadComid(stop);
    if (!comid) return ErrorAnswer(400, "stopComid \"" + stop.substr(0, 40) + "\" is not a whole number");
    nav.stop = network.Flowline(*comid);
    if (!nav.stop) return ErrorAnswer(404, "stopComid " + stop + " is not a flowline of the network");
  }
  const StatusOr<bool> trim = ReadFlag("trimStart", Param(ask, "trimStart"), false);
  if (!trim.ok()) return Unusable(trim.status());
  nav.trimStart = *trim;
  const StatusOr<double> tolerance = ReadNumberWithin("trimTolerance", Param(ask, "trimTolerance"), 0.0, 100.0, 0.0);
  if (!tolerance.ok()) return Unusable(tolerance.status());
  nav.trimTolerance = *tolerance;
  const StatusOr<bool> exclude = ReadFlag("excludeGeometry", Param(ask, "excludeGeometry"), false);
  if (!exclude.ok()) return Unusable(exclude.status());
  nav.excludeGeometry = *exclude;

  const WalkedNavigation walked = Walk(network, worker, nav);
  if (walked.stopped) return *walked.stopped;
  if (sites != nullptr) return SitesAnswer(network, *sites, walked.navigation, base);
  return FlowlinesAnswer(network, worker, nav, walked.navigation);
}

}  // namespace

RouteAnswer AnswerLinkedData(const ServedNetwork& network, WorkerState& worker, const LinkedDataAsk& ask) {
  const std::string base = ask.base + "/linked-data";
  const std::string f = Param(ask, "f");
  if (!f.empty() && f != "json") return ErrorAnswer(400, "f \"" + f.substr(0, 40) + "\" is not json, the one format");
  std::string_view path = ask.path;
  if (path.rfind("/linked-data", 0) != 0) return ErrorAnswer(404, "no such route");
  path.remove_prefix(std::string_view("/linked-data").size());
  if (!path.empty() && path.back() == '/') path.remove_suffix(1);  // as the clients send it
  if (path.empty()) return Sources(network, base);
  if (path.front() != '/') return ErrorAnswer(404, "no such route");
  const std::vector<std::string> s = Segments(path.substr(1));
  for (const std::string& segment : s) {
    if (segment.empty()) return ErrorAnswer(404, "no such route");
  }
  if (s.size() == 1 && s[0] == "hydrolocation") return Position(network, ask, true, base);
  if (s.size() == 2 && s[0] == "comid" && s[1] == "position") return Position(network, ask, false, base);
  if (s.size() == 1) {
    if (s[0] == "comid") return ErrorAnswer(400, "the comid source is not listed whole: give a comid");
    const SiteSource* source = network.Source(s[0]);
    if (source == nullptr) return ErrorAnswer(404, "no source named \"" + s[0].substr(0, 40) + "\"");
    return AllSites(network, *source, base);
  }

  const std::variant<Origin, RouteAnswer> found = FindOrigin(network, s[0], s[1]);
  if (const RouteAnswer* answer = std::get_if<RouteAnswer>(&found)) return *answer;
  const Origin& origin = std::get<Origin>(found);
  const std::string self = base + "/" + s[0] + "/" + EncodedSegment(s[1]);
  if (s.size() == 2) {
    if (origin.site != nullptr) {
      return Collection(nlohmann::json::array({SiteFeature(network, *origin.source, *origin.site, base)}));
    }
    return Collection(nlohmann::json::array({ComidFeature(network, *origin.flowline, *ReadComid(s[1]), base)}));
  }
  if (s[2] != "navigation" && s[2] != "navigate") return ErrorAnswer(404, "no such route");
  if (s.size() == 3) {
    nlohmann::json modes = nlohmann::json::object();
    for (const ModeLink& m : kModeLinks) modes[m.name] = self + "/navigation/" + m.code;
    return Json(modes);
  }
  const std::optional<NavMode> mode = ReadNavMode(s[3]);
  if (!mode) return ErrorAnswer(400, "navigation mode \"" + s[3].substr(0, 40) + "\" is none of UM, UT, DM, DD, PP");
  const std::string modeUrl = self + "/navigation/" + s[3];
  if (s.size() == 4) {
    nlohmann::json list = nlohmann::json::array();
    list.push_back(
        {{"source", "Flowlines"}, {"sourceName", "NHDPlus flowlines"}, {"features", modeUrl + "/flowlines"}});
    for (const SiteSource& source : network.sources()) {
      list.push_back({{"source", source.name}, {"sourceName", source.name}, {"features", modeUrl + "/" + source.name}});
    }
    return Json(list);
  }
  if (s.size() == 5) return NavigationRoute(network, worker, ask, origin, *mode, s[4], base);
  return ErrorAnswer(404, "no such route");
}

}  // namespace rill::geo

namespace rill::geo {

namespace {

// The address the client reached the service by, from its Host header
// when that is a plain host[:port]; else the address the service listens on.
std::string BaseOf(const httplib::Request& request, const std::string& fallback) {
  const std::string host = request.get_header_value("Host");
  bool plain = !host.empty() && host.size() <= 255;
  for (const char c : host) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                         c == '-' || c == ':' || c == '[' || c == ']';
    plain = plain && allowed;
  }
  return "http://" + (plain ? host : fallback);
}

}  // namespace

void AddLinkedDataRoutes(httplib::Server& server, const ServedNetwork& network, WorkerStates& workers,
                         const LinkedDataLimits& limits) {
  server.Get(R"(/linked-data(/.*)?)",
             [&network, &workers, limits](const httplib::Request& request, httplib::Response& response) {
               LinkedDataAsk ask;
               ask.path = request.path;
               ask.params = request.params;
               ask.base = BaseOf(request, limits.fallbackHost);
               ask.deadline = std::chrono::steady_clock::now() + limits.timeout;
               ask.radius = limits.radius;
               RouteAnswer answer;
               try {
                 WorkerStates::Lease worker = workers.Take();
                 answer = AnswerLinkedData(network, *worker, ask);
               } catch (const std::bad_alloc&) {
                 answer = ErrorAnswer(503, "the service ran out of memory for this request");
               } catch (const std::exception& e) {
                 answer = ErrorAnswer(500, e.what());
               }
               response.status = answer.status;
               response.set_content(answer.body, answer.contentType.c_str());
             });
}

}  // namespace rill::geo
