// rillgeo map on oswego: the cut pieces against the rows they draw.
#include <ogrsf_frmts.h>

#include <cmath>
#include <sstream>

#include "rillgeo/geometry/ground_cutter.h"
#include "rillgeo/geometry/results_file.h"
#include "rillgeo/geometry/vector_source.h"
#include "tests/rillgeo/rillgeo_fixture.h"

namespace rill::testing {
namespace {

const std::string kGeometry = (kData / "oswego/raw/flowlines.gpkg").string();

class MapTest : public RillgeoTest {
 protected:
  void SetUp() override {
    geo::StartGdal();
    ASSERT_EQ(Rillgeo({"import", kGeometry, "--to", Tables().string()}).status, 0);
  }
  fs::path Tables() const { return Scratch("oswego"); }

  // Navigates, draws the result as GeoJSON and gives the features read back.
  std::vector<OGRFeatureUniquePtr> Draw(const std::string& request, std::vector<std::string> extra = {}) {
    Navigate(Tables(), request);
    const fs::path json = Scratch("out.geojson");
    std::vector<std::string> args{"map",        (Tables() / "out.csv").string(),
                                  "--tables",   Tables().string(),
                                  "--geometry", kGeometry,
                                  "--geojson",  json.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    const RunOutcome run = Rillgeo(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadFeatures(json);
  }

  static std::vector<OGRFeatureUniquePtr> ReadFeatures(const fs::path& path) {
    geo::VectorSource source(path.string(), "");
    std::vector<OGRFeatureUniquePtr> features;
    for (auto& feature : source.layer()) features.push_back(std::move(feature));
    return features;
  }
};

// Ground length of a feature's line(s), in metres.
double LengthOf(const OGRGeometry* geometry, geo::GroundCutter& cutter) {
  if (geometry == nullptr) return 0.0;
  if (wkbFlatten(geometry->getGeometryType()) == wkbLineString) return cutter.LengthMeters(*geometry->toLineString());
  double total = 0.0;
  for (const OGRLineString* part : *geometry->toMultiLineString()) total += cutter.LengthMeters(*part);
  return total;
}

// The ends of a feature's line.
std::vector<OGRPoint> EndsOf(const OGRGeometry* geometry) {
  std::vector<OGRPoint> ends;
  const OGRLineString* line = geometry->toLineString();
  ends.resize(2);
  line->StartPoint(&ends[0]);
  line->EndPoint(&ends[1]);
  return ends;
}

struct CutCase {
  const char* request;
  double metersPerUnit;  // of the request's distance units
};

TEST_F(MapTest, CutPiecesHaveTheRowsLengthsAndJoinUp) {
  const CutCase cases[] = {
      {"5,04140201002304,50,04140203000132,10,D,0,MI,1", 1609.0},
      {"3,04140201002304,50,X,0,D,5,MI,1", 1609.0},
      {"3,04140201002304,50,X,0,U,30000,FT,1", 0.3048},
      {"1,04140201002300,62.5,X,0,U,0,M,1", 1.0},
  };
  geo::GroundCutter cutter;
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.request);
    const auto features = Draw(c.request);
    const geo::ResultRows drawn = geo::ReadResults((Tables() / "out.csv").string(), "");
    ASSERT_EQ(features.size(), drawn.rows.size());
    ASSERT_GT(features.size(), 1u);
    for (std::size_t i = 0; i < features.size(); ++i) {
      const OGRFeature& f = *features[i];
      EXPECT_EQ(f.GetFieldAsString("Rch_code"), drawn.rows[i][0]);
      EXPECT_EQ(f.GetFieldAsInteger64("Com_id"), std::stoll(drawn.rows[i][1]));
      const double expected = f.GetFieldAsDouble("RchLength") * c.metersPerUnit;
      // 1 %, and the metre the tables round every length to.
      EXPECT_NEAR(LengthOf(f.GetGeometryRef(), cutter), expected, expected * 0.01 + 1.0) << "row " << i + 1;
      if (i == 0) continue;
      // A main path: each piece meets the one before it within a metre.
      double closest = 1e9;
      for (const OGRPoint& a : EndsOf(features[i - 1]->GetGeometryRef())) {
        for (const OGRPoint& b : EndsOf(f.GetGeometryRef())) {
          OGRLineString gap;
          gap.addPoint(&a);
          gap.addPoint(&b);
          closest = std::min(closest, cutter.LengthMeters(gap));
        }
      }
      EXPECT_LT(closest, 1.0) << "row " << i + 1;
    }
  }
}

TEST_F(MapTest, WholeBasinGivesOneFeaturePerRowInEveryFormat) {
  const auto features = Draw("2,04140203000132,0,X,0,U,0,MI,1", {"--gpkg", Scratch("out.gpkg").string()});
  EXPECT_EQ(features.size(), 6295u);
  EXPECT_EQ(ReadFeatures(Scratch("out.gpkg")).size(), 6295u);
  for (const auto& f : features) ASSERT_NE(f->GetGeometryRef(), nullptr) << f->GetFieldAsString("Rch_code");
}

TEST_F(MapTest, BatchResultsDrawOneRequest) {
  Navigate(Tables(), "3,04140201002304,50,X,0,D,5,MI,1");
  std::istringstream lines(ReadExisting(Tables() / "out.csv"));
  std::string line, batch;
  for (int n = 0; std::getline(lines, line); ++n) {
    batch += (n == 0 ? "\"Request\"," : "\"r1\",") + line + "\n";
    if (n > 0) batch += "\"r2\"," + line + "\n";
  }
  WriteAll(Scratch("RESULTS.csv"), batch);
  const fs::path json = Scratch("batch.geojson");
  const std::vector<std::string> common{"map",        Scratch("RESULTS.csv").string(),
                                        "--tables",   Tables().string(),
                                        "--geometry", kGeometry,
                                        "--geojson",  json.string()};
  auto args = common;
  args.insert(args.end(), {"--request", "r2"});
  ASSERT_EQ(Rillgeo(args).status, 0);
  const auto features = ReadFeatures(json);
  ASSERT_EQ(features.size(), static_cast<std::size_t>(std::count(batch.begin(), batch.end(), '\n') - 1) / 2);
  EXPECT_STREQ(features[0]->GetFieldAsString("Request"), "r2");

  args = common;
  args.insert(args.end(), {"--request", "r3"});
  const RunOutcome missing = Rillgeo(args);
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("no row of request r3"), std::string::npos) << missing.err;
  args = common;
  args.push_back("--request");
  const RunOutcome noValue = Rillgeo(args);
  EXPECT_EQ(noValue.status, 2);
  EXPECT_NE(noValue.err.find("--request"), std::string::npos) << noValue.err;
}

TEST_F(MapTest, PageIsSelfContainedWithAPiecePerRow) {
  Navigate(Tables(), "5,04140201002304,50,04140203000132,10,D,0,MI,1");
  const fs::path html = Scratch("map.html");
  ASSERT_EQ(Rillgeo({"map", (Tables() / "out.csv").string(), "--tables", Tables().string(), "--geometry", kGeometry,
                     "--html", html.string()})
                .status,
            0);
  const std::string page = ReadExisting(html);
  const auto count = [&](const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = page.find(what); at != std::string::npos; at = page.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("<path class=\"p\""), geo::ReadResults((Tables() / "out.csv").string(), "").rows.size());
  EXPECT_EQ(count("data-t=\"04140201002304, measures 50.000 to 0.000, distance 0.5932\""), 1u);
  EXPECT_EQ(count("<circle"), 2u);  // start and end
  EXPECT_EQ(count("Travel distance"), 1u);
  EXPECT_EQ(count(" km</text>"), 1u);
  EXPECT_EQ(count("<script>"), 1u);
  // Nothing is fetched: the only address is the SVG namespace.
  EXPECT_EQ(count("http"), 1u);
  EXPECT_EQ(count("xmlns=\"http://www.w3.org/2000/svg\""), 1u);
}

struct MapRefusal {
  const char* what;
  std::vector<std::string> args;  // after "map RESULTS"
  const char* results;            // the RESULTS file's text
  int status;
  const char* message;
};

TEST_F(MapTest, MapRefusesWithoutWritingOutputs) {
  const std::string csv = "\"Rch_code\",\"Com_id\",\"FromMeasure\",\"ToMeasure\"\n\"04140201002304\",21983619,0,100\n";
  const std::string json = Scratch("refused.geojson").string();
  const std::string tables = Tables().string();
  const std::string coastal = (kData / "coastal_ca/raw/coastal.gpkg").string();
  const MapRefusal cases[] = {
      {"no tables", {"--tables", Scratch("none").string(), "--geometry", kGeometry}, csv.c_str(), 1, "cannot be read"},
      {"no Com_id",
       {"--tables", tables, "--geometry", kGeometry},
       "\"FromMeasure\",\"ToMeasure\"\n0,1\n",
       1,
       "has no column Com_id"},
      {"short row",
       {"--tables", tables, "--geometry", kGeometry},
       "\"Com_id\",\"FromMeasure\",\"ToMeasure\"\n1,0\n",
       1,
       "line 2 has 2 of the 3 columns"},
      {"layer without nodes",
       {"--tables", tables, "--geometry", coastal, "--layer", "NHDArea"},
       csv.c_str(),
       1,
       "column FromNode is missing"},
      {"request of a single run",
       {"--tables", tables, "--geometry", kGeometry, "--request", "1"},
       csv.c_str(),
       1,
       "has no Request column"},
      {"no geometry", {"--tables", tables}, csv.c_str(), 2, "--geometry is required"},
  };
  for (const MapRefusal& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAll(Scratch("results.csv"), c.results);
    std::vector<std::string> args{"map", Scratch("results.csv").string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--geojson", json});
    const RunOutcome run = Rillgeo(args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists(json));
  }
  const RunOutcome noOutput =
      Rillgeo({"map", Scratch("results.csv").string(), "--tables", tables, "--geometry", kGeometry});
  EXPECT_EQ(noOutput.status, 2);
  EXPECT_EQ(noOutput.err, "rillgeo map: --geojson, --gpkg, --html, --per-request: name at least one output\n");
}

}  // namespace
}  // namespace rill::testing
