// The routes of the public linked-data service under /linked-data: the
// sources, a feature, its navigation modes, what each mode can fetch, the
// flowlines and the sites a navigation passes, and the snap of a position.
// A route reads only what the service loaded; nothing a URL holds reaches
// a file path.
#pragma once

#include <chrono>
#include <map>
#include <string>

#include "rillgeo/serve/feature_json.h"
#include "rillgeo/serve/request_pool.h"
#include "rillgeo/serve/served_network.h"

namespace httplib {
class Server;
}  // namespace httplib

namespace rill::geo {

// One request to a linked-data route, as the HTTP layer hands it over.
struct LinkedDataAsk {
  std::string path;  // decoded, beginning with /linked-data
  std::multimap<std::string, std::string> params;
  std::string base;  // the service's address as the client reached it, e.g. http://127.0.0.1:8080
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  double radius = 200.0;  // default snap radius, metres
};

// The answer to `ask`: 200 with GeoJSON or JSON, 400 for a request that
// cannot be used, 404 for an unknown source, id or route, 503 when the
// deadline passed; every error with a JSON body that says why.
RouteAnswer AnswerLinkedData(const ServedNetwork& network, WorkerState& worker, const LinkedDataAsk& ask);

struct LinkedDataLimits {
  std::chrono::milliseconds timeout{30000};
  double radius = 200.0;
  std::string fallbackHost;  // host:port for a request without a usable Host header
};

// Answers GET /linked-data and everything below it on `server`, borrowing
// a state of `workers` per request; `network` and `workers` must outlive it.
void AddLinkedDataRoutes(httplib::Server& server, const ServedNetwork& network, WorkerStates& workers,
                         const LinkedDataLimits& limits);

}  // namespace rill::geo
