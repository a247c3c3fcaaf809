// The map page's routes over loopback: the flowlines of a view (bounded,
// thinned by scale, longest first), the answers to bad parameters, and the
// fixed list of the page's files.
#include "rillgeo/serve/page/page_routes.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>
#include <random>
#include <regex>
#include <thread>

#include "rillgeo/geometry/vector_source.h"
#include "rillgeo/serve/page/view_index.h"
#include "tests/support/files.h"

namespace rill::testing {
namespace {

using nlohmann::json;

struct Line {
  std::int64_t comId;
  std::vector<std::pair<double, double>> points;
};

// Lines written as GeoJSON and read back as the serve command reads them.
geo::FlowlineLines ReadLines(const fs::path& path, const std::vector<Line>& lines) {
  json features = json::array();
  for (const Line& line : lines) {
    json coordinates = json::array();
    for (const auto& [x, y] : line.points) coordinates.push_back({x, y});
    features.push_back({{"type", "Feature"},
                        {"properties", {{"COMID", line.comId}, {"FromNode", line.comId}, {"ToNode", line.comId + 1}}},
                        {"geometry", {{"type", "LineString"}, {"coordinates", coordinates}}}});
  }
  WriteAll(path, json({{"type", "FeatureCollection"}, {"features", features}}).dump());
  geo::StartGdal();
  geo::VectorSource source = geo::VectorSource::Open(path.string(), "").value();
  return geo::FlowlineLines::Read(source).value();
}

// A river one degree long, ten tributaries of a tenth, a hundred brooks of
// a thousandth, and a wiggle of 101 points close together.
std::vector<Line> SampleLines() {
  std::vector<Line> lines{{1, {{-76.0, 43.0}, {-75.0, 43.0}}}};
  for (int i = 0; i < 10; ++i) lines.push_back({100 + i, {{-76.0 + 0.1 * i, 43.0}, {-76.0 + 0.1 * i, 43.1}}});
  for (int i = 0; i < 100; ++i) {
    const double x = -75.9 + 0.005 * i;
    lines.push_back({1000 + i, {{x, 42.9}, {x + 0.001, 42.9}}});
  }
  Line wiggle{5, {}};
  for (int i = 0; i <= 100; ++i) wiggle.points.emplace_back(-75.5 + 0.0005 * i, 43.05 + 0.00001 * (i % 2));
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
  std::int64_t first;  // the longest line drawn, 0 for none
  bool thinned;
};

TEST_F(PageRoutesTest, AViewHoldsItsLinesLongestFirstBoundedAndThinnedByScale) {
  const ViewCase cases[] = {
      // Close in, everything in the box.
      {"bbox=-77,42,-74,44&zoom=18", 112, 1, false},
      // The bound: the longest lines first, and the page told.
      {"bbox=-77,42,-74,44&zoom=18&limit=5", 5, 1, true},
      // Far out a pixel spans 0.35 degree: only the river is long enough to see.
      {"bbox=-77,42,-74,44&zoom=2", 1, 1, true},
      // At zoom 10 (0.0014 degree a pixel) the tributaries and the wiggle, no brooks.
      {"bbox=-77,42,-74,44&zoom=10", 12, 1, true},
      // Only the brooks' strip, close in.
      {"bbox=-75.95,42.85,-75.3,42.95&zoom=18", 100, 0, false},
      // Nothing there.
      {"bbox=10,10,11,11&zoom=12", 0, 0, false},
      // A box that touches the river's end only.
      {"bbox=-75,43,-74,44&zoom=18", 1, 1, false},
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
      if (feature["properties"]["nhdplus_comid"] == 5) return feature["geometry"]["coordinates"];
    }
    return json();
  };
  const json close = wiggle(22);
  const json far = wiggle(9);  // 0.0027 degree a pixel
  ASSERT_EQ(close.size(), 101u);
  ASSERT_GE(far.size(), 2u);
  EXPECT_LT(far.size(), 101u / 5);
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

// Every file the page and Leaflet's style name is served, with its type;
// anything else, however spelt, is a 404 and never a file of the machine.
TEST_F(PageRoutesTest, ThePageLoadsOnlyItsOwnFixedFiles) {
  const httplib::Result page = Get("/");
  ASSERT_TRUE(page);
  ASSERT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'self'"), std::string::npos);
  std::vector<std::string> named;
  const std::regex reference(R"((?:src|href)="(/[^"]+)\")");
  for (std::sregex_iterator it(page->body.begin(), page->body.end(), reference), end; it != end; ++it) {
    named.push_back((*it)[1]);
  }
  const httplib::Result style = Get("/page/assets/leaflet.css");
  ASSERT_TRUE(style);
  const std::regex image(R"(url\((images/[a-z0-9-]+\.png)\))");
  for (std::sregex_iterator it(style->body.begin(), style->body.end(), image), end; it != end; ++it) {
    named.push_back("/page/assets/" + (*it)[1].str());
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
  EXPECT_EQ(summary["bbox"], json({-76.0, 42.9, -75.0, 43.1}));
  EXPECT_EQ(summary["flowlines"], 112);
  EXPECT_EQ(summary["siteSources"], json({"gauges", "wells"}));
}

// The grid's answer is the plain scan's answer, in views of every size.
TEST(ViewIndexTest, FindsWhatAPlainScanFinds) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> place(-80.0, -70.0);
  std::uniform_real_distribution<double> length(0.0, 0.3);
  std::vector<Line> lines;
  for (int i = 0; i < 3000; ++i) {
    const double x = place(random);
    const double y = place(random) + 120.0;  // latitudes 40 to 50
    lines.push_back({i + 1, {{x, y}, {x + length(random) * length(random), y + length(random) * length(random)}}});
  }
  ScratchDir scratch("view-index");
  const geo::FlowlineLines read = ReadLines(scratch.path() / "lines.geojson", lines);
  const geo::ViewIndex index(read);
  for (int i = 0; i < 200; ++i) {
    const double x = place(random);
    const double y = place(random) + 120.0;
    const double size = std::ldexp(12.0, -(i % 10));
    const geo::LonLatBox view{x, y, x + size, y + size};
    const double minSpan = (i % 3) * 0.002;
    const std::size_t limit = i % 4 == 0 ? 10 : 5000;
    std::vector<std::pair<double, std::size_t>> expected;
    for (std::size_t p = 0; p < read.all().size(); ++p) {
      const OGREnvelope& box = read.all()[p].envelope;
      const double span = std::max(box.MaxX - box.MinX, box.MaxY - box.MinY);
      if (span < minSpan || box.MaxX < view.west || box.MinX > view.east || box.MaxY < view.south ||
          box.MinY > view.north) {
        continue;
      }
      expected.emplace_back(-span, p);
    }
    std::sort(expected.begin(), expected.end());
    if (expected.size() > limit) expected.resize(limit);
    std::vector<std::size_t> want;
    for (const auto& [span, p] : expected) want.push_back(p);
    EXPECT_EQ(index.Find(view, minSpan, limit).found, want) << "view " << i;
  }
}

}  // namespace
}  // namespace rill::testing
