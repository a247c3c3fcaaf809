#include "rillgeo/serve/page/page_routes.h"

#include <httplib.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "rillgeo/serve/page/page_assets.h"
#include "rillgeo/serve/page/view_geojson.h"
#include "rillgeo/serve/page/view_index.h"
#include "rillgeo/serve/page/view_request.h"

namespace rill::geo {
namespace {

// What every answer of the page's routes carries: nothing is guessed from
// its bytes, and the page may load nothing but what this program serves.
void SetCommonHeaders(httplib::Response& response) {
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_header("Content-Security-Policy",
                      "default-src 'self'; img-src 'self' data:; style-src 'self' 'unsafe-inline'; "
                      "object-src 'none'; base-uri 'none'; frame-ancestors 'none'");
}

void AnswerJson(httplib::Response& response, int status, const std::string& body, const char* type) {
  response.status = status;
  SetCommonHeaders(response);
  response.set_content(body, type);
}

// A request the page's routes cannot answer: a JSON body that says why.
void AnswerFault(httplib::Response& response, int status, const std::string& description) {
  const nlohmann::json body = {{"status", status}, {"description", description}};
  AnswerJson(response, status, body.dump(), "application/json");
}

void AnswerAsset(httplib::Response& response, const std::string& name) {
  const PageAsset* asset = FindPageAsset(name);
  if (asset == nullptr) {
    AnswerFault(response, 404, "the page has no file called " + nlohmann::json(name).dump());
    return;
  }
  response.status = 200;
  SetCommonHeaders(response);
  response.set_header("Cache-Control", "no-cache");
  response.set_content(asset->body.data(), asset->body.size(), std::string(PageAssetType(name)).c_str());
}

// The network as the page first needs it: where it lies, how much of it
// there is, the site tables a navigation can list, the bound on one view.
std::string NetworkSummary(const ViewIndex& index, const PageSources& sources) {
  const LonLatBox& box = index.extent();
  const nlohmann::json body = {
      {"bbox", {box.west, box.south, box.east, box.north}},
      {"flowlines", index.size()},
      {"reaches", sources.tables != nullptr ? sources.tables->reaches().size() : 0},
      {"siteSources", sources.siteSources},
      {"maxFeatures", kMaxViewLines},
  };
  return body.dump();
}

}  // namespace

void AddPageRoutes(httplib::Server& server, const PageSources& sources) {
  // Built once; the handlers share it read only, on every thread of the server.
  const auto index = std::make_shared<const ViewIndex>(*sources.lines);
  const auto summary = std::make_shared<const std::string>(NetworkSummary(*index, sources));
  const FlowlineLines* lines = sources.lines;

  server.Get("/", [](const httplib::Request&, httplib::Response& response) { AnswerAsset(response, "index.html"); });
  server.Get(R"(/page/assets/(.{1,100}))", [](const httplib::Request& request, httplib::Response& response) {
    AnswerAsset(response, request.matches[1].str());
  });
  server.Get("/page/network", [summary](const httplib::Request&, httplib::Response& response) {
    AnswerJson(response, 200, *summary, "application/json");
  });
  server.Get("/page/flowlines", [index, lines](const httplib::Request& request, httplib::Response& response) {
    const StatusOr<ViewRequest> view = ReadViewRequest(request.params);
    if (!view.ok()) {
      AnswerFault(response, 400, view.status().message());
      return;
    }
    const ViewLines found = index->Find(view->box, view->MinUpstream(), view->limit);
    AnswerJson(response, 200, ViewGeoJson(*lines, found, view->PixelSpan()), "application/geo+json");
  });
}

}  // namespace rill::geo
