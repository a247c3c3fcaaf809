// The GeoJSON and JSON shapes of the linked-data routes: geometries, the
// features of flowlines and sites, collections, and the body of an error.
#pragma once

#include <ogr_geometry.h>

#include <nlohmann/json.hpp>
#include <string>

#include "rillgeo/serve/served_network.h"

namespace rill::geo {

// What a route answers: an HTTP status, a content type and the body.
struct RouteAnswer {
  int status = 200;
  std::string contentType = "application/geo+json";
  std::string body;
};

inline constexpr const char* kGeoJson = "application/geo+json";
inline constexpr const char* kJson = "application/json";

// `text` as one segment of a URL path: every byte but letters, digits and
// -._~ percent-encoded.
std::string EncodedSegment(const std::string& text);

// A line string or a multi line string as GeoJSON; null for anything else.
nlohmann::json GeometryJson(const OGRGeometry* geometry);
nlohmann::json PointJson(double lon, double lat);

// A FeatureCollection of `features`, as the answer's body.
RouteAnswer Collection(nlohmann::json features);

// An error answer: {"status": N, "description": "..."}.
RouteAnswer ErrorAnswer(int status, const std::string& description);

// A site of a source as a feature: its point, identifier, name, source,
// sourceName, comid, reachcode, measure and navigation URL (under `base`,
// the service's /linked-data address).
nlohmann::json SiteFeature(const ServedNetwork& network, const SiteSource& source, const ServedSite& site,
                           const std::string& base);

}  // namespace rill::geo
