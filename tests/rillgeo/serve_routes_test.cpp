// The linked-data routes answered in process: every edge of a route and its
// parameters gets the status and the JSON body the public service gives.
#include <cmath>
#include <set>

#include "tests/rillgeo/serve_fixture.h"

namespace rill::testing {
namespace {

struct RouteCase {
  const char* target;
  int status;
  const char* says;  // a part of the error's description, or of a 200 body
};

TEST_F(ServeTest, EveryRouteAnswersItsStatusWithAJsonBody) {
  const RouteCase cases[] = {
      {"/linked-data", 200, "\"source\":\"gauges\""},
      {"/linked-data/", 200, "\"features\":\"http://test/linked-data/comid\""},
      {"/linked-data/comid/21975007", 200, "\"sourceName\":\"NHDPlus comid\""},
      {"/linked-data/comid/21975007/", 200, "\"LineString\""},
      {"/linked-data/comid/21975007/navigation", 200, "\"upstreamTributaries\""},
      {"/linked-data/comid/21975007/navigation/UM", 200, "navigation/UM/gauges"},
      {"/linked-data/gauges", 200, "\"CO-01\""},
      {"/linked-data/gauges/SR-01", 200, "\"measure\":50.0030993891559"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?f=json&distance=", 200, "travel_km_to"},
      // Unknown sources, ids and routes: 404.
      {"/linked-data/nwissite/USGS-1", 404, "no source named"},
      {"/linked-data/comid/1", 404, "not a flowline of the network"},
      {"/linked-data/gauges/NOPE", 404, "no feature"},
      {"/linked-data/gauges/BAD", 404, "could not be placed"},
      {"/linked-data/comid/21975007/basin", 404, "no such route"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines/more", 404, "no such route"},
      {"/linked-data/comid/21975007/navigation/DM/nwissite", 404, "no source named"},
      {"/linked-data//21975007", 404, "no such route"},
      {"/linked-datax", 404, "no such route"},
      {"/linked-data/comid/21975007/navigation/PP/flowlines?stopComid=1", 404, "not a flowline"},
      // Requests that cannot be used: 400.
      {"/linked-data/comid", 400, "give a comid"},
      {"/linked-data/comid/12ab", 400, "not a whole number"},
      {"/linked-data/comid/21975007/navigation/XX", 400, "none of UM, UT, DM, DD, PP"},
      {"/linked-data/comid/21975007/navigation/um/flowlines", 400, "none of UM"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?distance=0", 400, "above 0"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?distance=-5", 400, "above 0"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?distance=inf", 400, "finite"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?distance=nan", 400, "finite"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?distance=10km", 400, "finite"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?stopComid=21975007", 400, "PP only"},
      {"/linked-data/comid/21975007/navigation/PP/flowlines", 400, "needs stopComid"},
      {"/linked-data/comid/21975007/navigation/PP/flowlines?stopComid=x", 400, "not a whole number"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?trimStart=yes", 400, "neither true nor false"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?trimTolerance=101", 400, "from 0 to 100"},
      {"/linked-data/comid/21975007/navigation/DM/flowlines?excludeGeometry=1", 400, "neither true nor false"},
      {"/linked-data/comid/21975007?f=xml", 400, "not json"},
      {"/linked-data/comid/position", 400, "not POINT"},
      {"/linked-data/comid/position?coords=POINT(-76.2556)", 400, "not POINT"},
      {"/linked-data/comid/position?coords=LINESTRING(1 2, 3 4)", 400, "not POINT"},
      {"/linked-data/comid/position?coords=POINT(-76.2556 43.16375", 400, "not POINT"},
      {"/linked-data/comid/position?coords=POINT(-76.2556 43.16375) x", 400, "not POINT"},
      {"/linked-data/comid/position?coords=POINT(-181 43)", 400, "outside"},
      {"/linked-data/comid/position?coords=POINT(-76 91)", 400, "outside"},
      {"/linked-data/comid/position?coords=POINT(nan 43)", 400, "outside"},
      {"/linked-data/hydrolocation?coords=POINT(-76.2556 43.16375)&radius=-1", 400, "radius"},
      // A snap finds the flowline within the radius, or answers 404.
      {"/linked-data/comid/position?coords=point( -76.2556  43.16375 )", 200, "\"identifier\":\"21975007\""},
      {"/linked-data/comid/position?coords=POINT(-76.2556 43.16375)&radius=10", 404, "within 10 m"},
      {"/linked-data/hydrolocation?coords=POINT(0 0)", 404, "no flowline"},
      {"/linked-data/hydrolocation?coords=POINT(-76.2556 43.16375)", 200, "\"source\":\"indexed\""},
  };
  for (const RouteCase& c : cases) {
    const geo::RouteAnswer answer = Get(c.target);
    EXPECT_EQ(answer.status, c.status) << c.target << ": " << answer.body;
    EXPECT_NE(answer.body.find(c.says), std::string::npos) << c.target << ": " << answer.body;
    const nlohmann::json body = Body(answer);  // every body is JSON
    if (c.status != 200) {
      EXPECT_EQ(answer.contentType, "application/json") << c.target;
      EXPECT_EQ(body["status"], c.status) << c.target;
    }
  }
}

std::vector<std::string> Ids(const nlohmann::json& collection, const char* property) {
  std::vector<std::string> ids;
  for (const auto& f : collection["features"]) ids.push_back(f["properties"][property].get<std::string>());
  return ids;
}

TEST_F(ServeTest, ADistanceLimitCutsTheLastFlowlineAndNoFeatureLacksItsLine) {
  const nlohmann::json down = Body(Get("/linked-data/comid/21975007/navigation/DM/flowlines?distance=10"));
  ASSERT_GT(down["features"].size(), 1u);
  EXPECT_EQ(down["features"][0]["properties"]["nhdplus_comid"], "21975007");
  const nlohmann::json& last = down["features"].back()["properties"];
  EXPECT_NEAR(last["travel_km_to"].get<double>(), 10.0, 1e-6);
  EXPECT_NE(last["from_measure"], last["to_measure"]);
  double previous = 0.0;
  for (const auto& f : down["features"]) {
    EXPECT_TRUE(f["geometry"].is_object()) << f.dump();
    EXPECT_NEAR(f["properties"]["travel_km_from"].get<double>(), previous, 1e-6);
    previous = f["properties"]["travel_km_to"].get<double>();
  }
  const nlohmann::json bare =
      Body(Get("/linked-data/comid/21975007/navigation/DM/flowlines?distance=10&excludeGeometry=true"));
  EXPECT_EQ(Ids(bare, "nhdplus_comid"), Ids(down, "nhdplus_comid"));
  EXPECT_TRUE(bare["features"][0]["geometry"].is_null());
}

TEST_F(ServeTest, SitesPassedAreThoseOfTheExactRuleWithTheirDistance) {
  // Up from SR-01: SR-01 itself at 0 (the origin), TOP (no measure: where
  // the first row of its reach begins), CO-01 99 km up.
  const nlohmann::json up = Body(Get("/linked-data/gauges/SR-01/navigation/UT/gauges?distance=100"));
  EXPECT_EQ(Ids(up, "identifier"), (std::vector<std::string>{"SR-01", "TOP", "CO-01"}));
  EXPECT_NEAR(up["features"][0]["properties"]["distance_km"].get<double>(), 0.0, 1e-4);
  EXPECT_NEAR(up["features"][2]["properties"]["distance_km"].get<double>(), 99.198, 1e-3);
  EXPECT_EQ(up["features"][2]["properties"]["comid"], "21974293");
  // A limit short of CO-01 leaves it out.
  EXPECT_EQ(Ids(Body(Get("/linked-data/gauges/SR-01/navigation/UT/gauges?distance=99")), "identifier"),
            (std::vector<std::string>{"SR-01", "TOP"}));
  // Down from the whole flowline: TOP where its row begins, then SR-01.
  const nlohmann::json down = Body(Get("/linked-data/comid/21975007/navigation/DM/gauges?distance=1"));
  EXPECT_EQ(Ids(down, "identifier"), (std::vector<std::string>{"TOP", "SR-01"}));
  EXPECT_NEAR(down["features"][1]["properties"]["distance_km"].get<double>(), 0.62673, 1e-4);
}

TEST_F(ServeTest, TheStartFlowlineIsWholeUnlessTrimStartCutsIt) {
  const auto first = [](const std::string& query) {
    const nlohmann::json body = Body(Get("/linked-data/gauges/SR-01/navigation/DM/flowlines?distance=5" + query));
    return body["features"][0]["geometry"]["coordinates"].size();
  };
  const std::size_t whole = Body(Get("/linked-data/comid/21975007"))["features"][0]["geometry"]["coordinates"].size();
  EXPECT_EQ(first(""), whole);
  EXPECT_LT(first("&trimStart=true"), whole);
  // SR-01 cuts off 60 % of its flowline: a tolerance above that keeps it whole.
  EXPECT_LT(first("&trimStart=true&trimTolerance=59"), whole);
  EXPECT_EQ(first("&trimStart=true&trimTolerance=61"), whole);
}

TEST_F(ServeTest, PointToPointWithTheStopUpstreamExchangesThePoints) {
  const nlohmann::json down = Body(Get("/linked-data/comid/21974293/navigation/PP/flowlines?stopComid=21975007"));
  const nlohmann::json up = Body(Get("/linked-data/comid/21975007/navigation/PP/flowlines?stopComid=21974293"));
  ASSERT_GT(down["features"].size(), 10u);
  const std::vector<std::string> a = Ids(down, "nhdplus_comid");
  const std::vector<std::string> b = Ids(up, "nhdplus_comid");
  EXPECT_EQ(std::set<std::string>(a.begin(), a.end()), std::set<std::string>(b.begin(), b.end()));
  EXPECT_EQ(a.front(), "21974293");
  EXPECT_EQ(a.back(), "21975007");
}

}  // namespace
}  // namespace rill::testing
