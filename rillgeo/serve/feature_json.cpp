#include "rillgeo/serve/feature_json.h"

#include <cstdlib>

namespace rill::geo {

namespace {

nlohmann::json Positions(const OGRLineString& line) {
  nlohmann::json positions = nlohmann::json::array();
  for (int i = 0; i < line.getNumPoints(); ++i) positions.push_back({line.getX(i), line.getY(i)});
  return positions;
}

}  // namespace

std::string EncodedSegment(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' ||
                       u == '.' || u == '_' || u == '~';
    if (plain) {
      encoded.push_back(c);
    } else {
      encoded.push_back('%');
      encoded.push_back(kHex[u >> 4]);
      encoded.push_back(kHex[u & 15]);
    }
  }
  return encoded;
}

nlohmann::json GeometryJson(const OGRGeometry* geometry) {
  if (geometry == nullptr) return nullptr;
  const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
  if (type == wkbLineString) {
    return {{"type", "LineString"}, {"coordinates", Positions(*geometry->toLineString())}};
  }
  if (type == wkbMultiLineString) {
    nlohmann::json parts = nlohmann::json::array();
    for (const OGRLineString* part : *geometry->toMultiLineString()) parts.push_back(Positions(*part));
    return {{"type", "MultiLineString"}, {"coordinates", std::move(parts)}};
  }
  return nullptr;
}

nlohmann::json PointJson(double lon, double lat) { return {{"type", "Point"}, {"coordinates", {lon, lat}}}; }

RouteAnswer Collection(nlohmann::json features) {
  const nlohmann::json collection = {{"type", "FeatureCollection"}, {"features", std::move(features)}};
  return {200, kGeoJson, collection.dump()};
}

RouteAnswer ErrorAnswer(int status, const std::string& description) {
  const nlohmann::json body = {{"status", status}, {"description", description}};
  return {status, kJson, body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace)};
}

nlohmann::json SiteFeature(const ServedNetwork& network, const SiteSource& source, const ServedSite& site,
                           const std::string& base) {
  nlohmann::json properties = {{"identifier", site.id},
                               {"navigation", base + "/" + source.name + "/" + EncodedSegment(site.id) + "/navigation"},
                               {"name", site.name},
                               {"source", source.name},
                               {"sourceName", source.name},
                               {"reachcode", site.reachCode}};
  // The NHD reach measure, a number as the public service gives it.
  char* end = nullptr;
  const double measure = std::strtod(site.measure.c_str(), &end);
  if (!site.measure.empty() && *end == '\0') {
    properties["measure"] = measure;
  } else {
    properties["measure"] = nullptr;
  }
  if (site.placed != nullptr) {
    const ReachRecord& reach = network.tables().reaches()[static_cast<std::size_t>(site.placed->reach)];
    properties["comid"] = std::to_string(network.PublicId(reach.Com_id));
    if (site.placed->hasMeasure) properties["table_measure"] = site.placed->measure;
  } else {
    properties["comid"] = nullptr;
  }
  return {{"type", "Feature"},
          {"geometry", site.located ? PointJson(site.lon, site.lat) : nlohmann::json(nullptr)},
          {"properties", std::move(properties)}};
}

}  // namespace rill::geo
