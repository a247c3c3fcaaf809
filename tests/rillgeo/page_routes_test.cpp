// The map page's routes over loopback: the flowlines of a view (bounded,
// thinned by scale, longest first), the answers to bad parameters, and the
// fixed list of the page's files.
#include "rillgeo/serve/page/page_routes.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/serve/page/view_index.h"
#include "tests/support/files.h"

namespace rill::testing {
namespace {

using nlohmann::json;

struct Line {
  std::int64_t comId;
  std::int64_t fromNode;
  std::int64_t toNode;
  std::vector<std::pair<double, double>> points;
};

// Lines written as GeoJSON and read back as the serve command reads them.
geo::FlowlineLines ReadLines(const fs::path& path, const std::vector<Line>& lines) {
  json features = json::array();
  for (const Line& line : lines) {
    json coordinates = json::array();
    for (const auto& [x, y] : line.points) coordinates.push_back({x, y});
    features.push_back({{"type", "Feature"},
                        {"properties", {{"COMID", line.comId}, {"FromNode", line.fromNode}, {"ToNode", line.toNode}}},
                        {"geometry", {{"type", "LineString"}, {"coordinates", coordinates}}}});
  }
  WriteAll(path, json({{"type", "FeatureCollection"}, {"features", features}}).dump());
  geo::StartGdal();
  geo::VectorSource source = geo::VectorSource::Open(path.string(), "").value();
  return geo::FlowlineLines::Read(source).value();
}

// A river of ten flowlines a tenth of a degree long (comids 1 to 10, down
// from west to east, on latitude 43), a hundred brooks of a thousandth
// draining into it, ten at each of its nodes but the last (laid out apart,
// on latitude 42.9), and a wiggle of 1001 points close together on its own.
// The network above the river's flowline k: 0.1 k cos(43 degrees) + 0.01 k.
std::vector<Line> SampleLines() {
  std::vector<Line> lines;
  for (int k = 1; k <= 10; ++k) lines.push_back({k, k, k + 1, {{-76.1 + 0.1 * k, 43.0}, {-76.0 + 0.1 * k, 43.0}}});
  for (int j = 0; j < 100; ++j) {
    const double x = -75.9 + 0.005 * j;
    lines.push_back({1000 + j, 1000 + j, 1 + j % 10, {{x, 42.9}, {x, 42.901}}});
  }
  Line wiggle{5000, 9000, 9001, {}};
  for (int i = 0; i <= 1000; ++i) wiggle.points.emplace_back(-75.5 + 0.00005 * i, 43.05 + 0.00001 * (i % 2));
  lines.push_back(wiggle);
  return lines;
}

class PageRoutesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lines_.emplace(ReadLines(scratch_.path() / "lines.geojson", SampleLines()));
    geo::AddPageRoutes(server_, {nullptr, nullptr, &*lines_, {"gauges", "wells"}});
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void TearDown() override {
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }

  httplib::Result Get(const std::string& path) {
    httplib::Client client("127.0.0.1", port_);
    return client.Get(path);
  }
  json GetJson(const std::string& path, int status = 200) {
    const httplib::Result result = Get(path);
    EXPECT_TRUE(result) << path;
    if (!result) return json();
    EXPECT_EQ(result->status, status) << path << ": " << result->body;
    return json::parse(result->body);
  }

  ScratchDir scratch_{"page-routes"};
  std::optional<geo::FlowlineLines> lines_;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

std::vector<std::int64_t> ComIds(const json& collection) {
  std::vector<std::int64_t> ids;
  for (const json& feature : collection["features"]) ids.push_back(feature["properties"]["nhdplus_comid"]);
  return ids;
}

struct ViewCase {
  const char* query;
  std::size_t count;
  std::int64_t first;  // the largest river drawn, 0 for any
  bool thinned;
};

TEST_F(PageRoutesTest, AViewHoldsItsLargerRiversFirstBoundedAndThinnedByScale) {
  const ViewCase cases[] = {
      // Close in, everything in the box, the river's mouth first.
      {"bbox=-77,42,-74,44&zoom=18", 111, 10, false},
      // The bound: the larger rivers first, and the page told.
      {"bbox=-77,42,-74,44&zoom=18&limit=5", 5, 10, true},
      // 40 pixels of zoom 7 are 0.44 degree: the river from its flowline 6 down.
      {"bbox=-77,42,-74,44&zoom=7", 5, 10, true},
      // Zoom 8 (0.22 degree): from flowline 3 down.
      {"bbox=-77,42,-74,44&zoom=8", 8, 10, true},
      // Zoom 10 (0.055 degree): the whole river, not the wiggle (0.037), no brook.
      {"bbox=-77,42,-74,44&zoom=10", 10, 10, true},
      // Zoom 11 (0.027 degree): the wiggle too.
      {"bbox=-77,42,-74,44&zoom=11", 11, 10, true},
      // Far out nothing is large enough.
      {"bbox=-77,42,-74,44&zoom=3", 0, 0, true},
      // Only the brooks' strip, close in.
      {"bbox=-75.95,42.85,-75.3,42.95&zoom=18", 100, 0, false},
      // Nothing there.
      {"bbox=10,10,11,11&zoom=12", 0, 0, false},
      // A box that touches the river's mouth only.
      {"bbox=-75,43,-74,44&zoom=18", 1, 10, false},
  };
  for (const ViewCase& c : cases) {
    SCOPED_TRACE(c.query);
    const json view = GetJson(std::string("/page/flowlines?") + c.query);
    const std::vector<std::int64_t> ids = ComIds(view);
    EXPECT_EQ(ids.size(), c.count);
    if (c.first != 0 && !ids.empty()) {
      EXPECT_EQ(ids.front(), c.first);
    }
    EXPECT_EQ(view["thinned"], c.thinned);
  }
}

TEST_F(PageRoutesTest, LinesAreSimplifiedToTheScaleWithTheirEndsKept) {
  const auto wiggle = [&](int zoom) {
    const json view = GetJson("/page/flowlines?bbox=-75.6,43,-75.4,43.1&zoom=" + std::to_string(zoom));
    for (const json& feature : view["features"]) {
      if (feature["properties"]["nhdplus_comid"] == 5000) return feature["geometry"]["coordinates"];
    }
    return json();
  };
  const json close = wiggle(22);
  const json far = wiggle(12);  // 0.00034 degree a pixel, seven points' spacing
  ASSERT_EQ(close.size(), 1001u);
  ASSERT_GE(far.size(), 2u);
  EXPECT_LT(far.size(), 1001u / 5);
  EXPECT_EQ(far.front(), close.front());
  EXPECT_EQ(far.back(), close.back());
  // Far out, only the decimals a pixel shows: 43.05001 is 43.05.
  for (const json& point : far) EXPECT_EQ(point[1].get<double>(), 43.05);
}

TEST_F(PageRoutesTest, BadParametersAre400WithTheReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"zoom=3", "bbox is missing"},
      {"bbox=-77,42,-74,44", "zoom is missing"},
      {"bbox=-77,42,-74&zoom=3", "four numbers"},
      {"bbox=-77,42,-74,44,1&zoom=3", "four numbers"},
      {"bbox=-77,42,,44&zoom=3", "four numbers"},
      {"bbox=-77,42,-74,nan&zoom=3", "four numbers"},
      {"bbox=-77,42,-74,1e999&zoom=3", "four numbers"},
      {"bbox=-77,42,-74,44x&zoom=3", "four numbers"},
      {"bbox=%20-77,42,-74,44&zoom=3", "four numbers"},
      {"bbox=-181,42,-74,44&zoom=3", "within longitudes"},
      {"bbox=-77,-91,-74,44&zoom=3", "within longitudes"},
      {"bbox=-74,42,-77,44&zoom=3", "west before its east"},
      {"bbox=-77,44,-74,42&zoom=3", "west before its east"},
      {"bbox=-77,42,-74,44&zoom=23", "zoom must be a whole number from 0 to 22"},
      {"bbox=-77,42,-74,44&zoom=-1", "zoom must be"},
      {"bbox=-77,42,-74,44&zoom=2.5", "zoom must be"},
      {"bbox=-77,42,-74,44&zoom=", "zoom must be"},
      {"bbox=-77,42,-74,44&zoom=3&limit=0", "limit must be a whole number from 1 to 5000"},
      {"bbox=-77,42,-74,44&zoom=3&limit=5001", "limit must be"},
      {"bbox=-77,42,-74,44&bbox=-70,42,-69,44&zoom=3", "more than once"},
  };
  for (const auto& [query, reason] : cases) {
    SCOPED_TRACE(query);
    const httplib::Result result = Get(std::string("/page/flowlines?") + query);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400);
    EXPECT_EQ(result->get_header_value("Content-Type"), "application/json");
    const json body = json::parse(result->body);
    EXPECT_EQ(body["status"], 400);
    EXPECT_NE(body["description"].get<std::string>().find(reason), std::string::npos) << body.dump();
  }
}

// Every text that follows `open` up to the next `close`.
std::vector<std::string> Between(const std::string& text, const std::string& open, char close) {
  std::vector<std::string> found;
  for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
    const std::size_t from = at + open.size();
    const std::size_t to = text.find(close, from);
    if (to != std::string::npos) found.push_back(text.substr(from, to - from));
  }
  return found;
}

// Every file the page and Leaflet's style name is served, with its type;
// anything else, however spelt, is a 404 and never a file of the machine.
TEST_F(PageRoutesTest, ThePageLoadsOnlyItsOwnFixedFiles) {
  const httplib::Result page = Get("/");
  ASSERT_TRUE(page);
  ASSERT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'self'"), std::string::npos);
  std::vector<std::string> named;
  for (const char* attribute : {"src=\"/", "href=\"/"}) {
    for (const std::string& path : Between(page->body, attribute, '"')) named.push_back("/" + path);
  }
  const httplib::Result style = Get("/page/assets/leaflet.css");
  ASSERT_TRUE(style);
  for (const std::string& image : Between(style->body, "url(images/", ')')) {
    if (image.ends_with(".png")) named.push_back("/page/assets/images/" + image);
  }
  EXPECT_GE(named.size(), 7u);
  for (const std::string& path : named) {
    SCOPED_TRACE(path);
    const httplib::Result result = Get(path);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_GT(result->body.size(), 100u);
    EXPECT_NE(result->get_header_value("Content-Type"), "application/octet-stream");
  }
  for (const char* path : {"/page/assets/../../../../etc/passwd", "/page/assets/%2e%2e%2f%2e%2e%2fCMakeLists.txt",
                           "/page/assets/page_routes.cpp", "/page/assets/images", "/page/assets/leaflet.js%00.png",
                           "/page/assets/LEAFLET.JS"}) {
    SCOPED_TRACE(path);
    const httplib::Result result = Get(path);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 404);
    EXPECT_EQ(json::parse(result->body)["status"], 404);
  }
}

TEST_F(PageRoutesTest, TheNetworkSummaryGivesItsBoxAndSiteTables) {
  const json summary = GetJson("/page/network");
  EXPECT_EQ(summary["bbox"], json({-76.0, 42.9, -75.0, 43.05001}));
  EXPECT_EQ(summary["flowlines"], 111);
  EXPECT_EQ(summary["siteSources"], json({"gauges", "wells"}));
}

TEST(ViewIndexTest, UpstreamLengthsFollowTheNodes) {
  ScratchDir scratch("view-index");
  std::vector<Line> lines = SampleLines();
  // Two lines in a loop (a fault of the data) end the sum; each keeps its length.
  lines.push_back({7000, 7000, 7001, {{-70.0, 40.0}, {-70.0, 40.5}}});
  lines.push_back({7001, 7001, 7000, {{-70.0, 40.5}, {-70.0, 40.0}}});
  const geo::FlowlineLines read = ReadLines(scratch.path() / "lines.geojson", lines);
  const geo::ViewIndex index(read);
  const double cos43 = std::cos(43.0 * M_PI / 180.0);
  for (int k = 1; k <= 10; ++k) {
    EXPECT_NEAR(index.UpstreamLength(static_cast<std::size_t>(k - 1)), 0.1 * k * cos43 + 0.01 * k, 1e-9);
  }
  EXPECT_NEAR(index.UpstreamLength(10), 0.001, 1e-12);  // a brook
  EXPECT_NEAR(index.UpstreamLength(111), 0.5, 1e-12);
  EXPECT_NEAR(index.UpstreamLength(112), 0.5, 1e-12);
}

// The grid's answer is the plain scan's answer, in views of every size,
// over lines joined at nodes where several meet.
TEST(ViewIndexTest, FindsWhatAPlainScanFinds) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> place(-80.0, -70.0);
  std::uniform_real_distribution<double> length(0.0, 0.3);
  std::vector<Line> lines;
  for (int i = 0; i < 3000; ++i) {
    const double x = place(random);
    const double y = place(random) + 120.0;  // latitudes 40 to 50
    const double dx = length(random) * length(random);
    const double dy = length(random) * length(random);
    lines.push_back({i + 1, i, i + 1 + i % 7, {{x, y}, {x + dx, y + dy}}});
  }
  ScratchDir scratch("view-index");
  const geo::FlowlineLines read = ReadLines(scratch.path() / "lines.geojson", lines);
  const geo::ViewIndex index(read);
  for (int i = 0; i < 200; ++i) {
    const double x = place(random);
    const double y = place(random) + 120.0;
    const double size = std::ldexp(12.0, -(i % 10));
    const geo::LonLatBox view{x, y, x + size, y + size};
    const double minUpstream = (i % 3) * 0.3;
    const std::size_t limit = i % 4 == 0 ? 10 : 5000;
    std::vector<std::pair<double, std::size_t>> expected;
    for (std::size_t p = 0; p < read.all().size(); ++p) {
      const OGREnvelope& box = read.all()[p].envelope;
      const double span = index.UpstreamLength(p);
      if (span < minUpstream || box.MaxX < view.west || box.MinX > view.east || box.MaxY < view.south ||
          box.MinY > view.north) {
        continue;
      }
      expected.emplace_back(-span, p);
    }
    std::sort(expected.begin(), expected.end());
    if (expected.size() > limit) expected.resize(limit);
    std::vector<std::size_t> want;
    for (const auto& [span, p] : expected) want.push_back(p);
    EXPECT_EQ(index.Find(view, minUpstream, limit).found, want) << "view " << i;
  }
}

}  // namespace
}  // namespace rill::testing
