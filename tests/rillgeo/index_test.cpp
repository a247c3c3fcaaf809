// rillgeo index: sites snapped to hand-made lines whose shares and offsets
// are worked out by hand, a round trip against map's cut on oswego, and
// the refusals.
#include <ogrsf_frmts.h>

#include <cmath>
#include <sstream>

#include "network/table_loader.h"
#include "rillgeo/geometry/flowline_lines.h"
#include "rillgeo/geometry/ground_cutter.h"
#include "rillgeo/geometry/id_map.h"
#include "rillgeo/geometry/vector_source.h"
#include "tests/rillgeo/rillgeo_fixture.h"

namespace rill::testing {
namespace {

// The ground projection map measures lines in the cell lon -77..-76,
// lat 43..44 with: coordinates in it are metres on the ground.
constexpr const char* kGround = "+proj=aeqd +lat_0=43.5 +lon_0=-76.5 +datum=WGS84 +units=m +no_defs";

struct HandLine {
  std::int64_t comId;
  std::int64_t fromNode, toNode;
  const char* code;
  double fromMeas, toMeas;
  std::vector<std::vector<std::pair<double, double>>> parts;  // ground metres, upstream first
};

// In file order: the later of the two parallel lines has the smaller id.
const std::vector<HandLine> kLines = {
    {11, 1, 2, "04140201000001", 40, 100, {{{0, 0}, {1000, 0}}}},
    {12, 2, 3, "04140201000001", 0, 40, {{{1000, 0}, {1500, 0}}}},
    {13, 4, 5, "04140201000002", 0, 100, {{{0, 2000}, {500, 2000}, {500, 2500}}}},
    {15, 6, 7, "04140201000003", 0, 100, {{{0, 5100}, {1000, 5100}}}},
    {14, 8, 9, "04140201000004", 0, 100, {{{0, 5000}, {1000, 5000}}}},
    {16, 10, 11, "04140201000005", 0, 100, {{{0, 10000}, {600, 10000}}, {{800, 10000}, {1200, 10000}}}},
};

// Writes the lines as NHDPlus flowlines in `srs`, every id plus `idBase`.
void WriteFlowlines(const fs::path& path, const char* srsText, std::int64_t idBase) {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
  GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  OGRSpatialReference srs, ground;
  srs.SetFromUserInput(srsText);
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  ground.SetFromUserInput(kGround);
  const std::unique_ptr<OGRCoordinateTransformation> toSrs(OGRCreateCoordinateTransformation(&ground, &srs));
  OGRLayer* layer = dataset->CreateLayer("NHDFlowline", &srs, wkbMultiLineString, nullptr);
  for (const char* name : {"COMID", "FromNode", "ToNode", "Hydroseq", "LevelPathI", "StreamLeve", "StartFlag"}) {
    OGRFieldDefn field(name, OFTInteger64);
    layer->CreateField(&field);
  }
  for (const char* name : {"LENGTHKM", "FromMeas", "ToMeas"}) {
    OGRFieldDefn field(name, OFTReal);
    layer->CreateField(&field);
  }
  OGRFieldDefn code("REACHCODE", OFTString);
  layer->CreateField(&code);
  for (const HandLine& l : kLines) {
    OGRFeature feature(layer->GetLayerDefn());
    feature.SetField("COMID", static_cast<GIntBig>(l.comId + idBase));
    feature.SetField("FromNode", static_cast<GIntBig>(l.fromNode + idBase));
    feature.SetField("ToNode", static_cast<GIntBig>(l.toNode + idBase));
    feature.SetField("Hydroseq", static_cast<GIntBig>(l.comId + idBase));
    feature.SetField("LevelPathI", static_cast<GIntBig>(l.comId + idBase));
    feature.SetField("StreamLeve", 1);
    feature.SetField("StartFlag", 1);
    feature.SetField("LENGTHKM", 1.0);
    feature.SetField("FromMeas", l.fromMeas);
    feature.SetField("ToMeas", l.toMeas);
    feature.SetField("REACHCODE", l.code);
    OGRMultiLineString lines;
    for (const auto& part : l.parts) {
      OGRLineString line;
      for (const auto& [x, y] : part) line.addPoint(x, y);
      lines.addGeometry(&line);
    }
    lines.transform(toSrs.get());
    feature.SetGeometry(&lines);
    ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
  }
}

struct Site {
  const char* id;
  double x, y;  // ground metres
};

const Site kSites[] = {
    {"share", 250, 30},    {"vertex", 530, 1970}, {"end", -40, 0},     {"tie", 300, 5050},
    {"beyond", 300, 5350}, {"part", 900, 10020},  {"gap", 690, 10050},
};

// What a site's line must hold; measures within 1e-6, offsets within 1 mm.
struct Expected {
  const char* id;
  const char* sourceId;  // without the id base
  double byFlowline;     // StartMeasure with one reach per flowline
  double byCode;         // StartMeasure (and ReachMeasure) with one reach per code
  double offset;
};

const Expected kExpected[] = {
    {"share", "11", 75, 85, 30},
    {"vertex", "13", 50, 50, std::hypot(30.0, 30.0)},
    {"end", "11", 100, 100, 40},
    {"tie", "15", 70, 70, 50},
    {"beyond", "", 0, 0, 0},
    {"part", "16", 25, 25, 20},
    {"gap", "16", 50, 50, std::hypot(90.0, 50.0)},
};

// The lines of a CSV split at commas (the tests' fields hold none).
std::vector<std::vector<std::string>> CsvLines(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    lines.push_back(fields);
  }
  return lines;
}

std::size_t Column(const std::vector<std::string>& header, const std::string& name) {
  const auto it = std::find(header.begin(), header.end(), name);
  EXPECT_NE(it, header.end()) << name;
  return static_cast<std::size_t>(it - header.begin());
}

// How the sites are given: a CSV of lon/lat, a CSV of ground metres with
// --srs, or a GeoPackage point layer in ground metres.
enum class Sites { LonLat, MetricCsv, MetricLayer };

class IndexTest : public RillgeoTest {
 protected:
  void SetUp() override { geo::StartGdal(); }

  // The sites as a CSV in lon/lat, or in ground metres (with --srs).
  fs::path SitesCsv(bool metric) {
    OGRSpatialReference ground, wgs84;
    ground.SetFromUserInput(kGround);
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const std::unique_ptr<OGRCoordinateTransformation> toWgs84(OGRCreateCoordinateTransformation(&ground, &wgs84));
    std::string text = metric ? "site,x,y\n" : "site,Longitude,LAT\n";
    char line[128];
    for (const Site& s : kSites) {
      double x = s.x, y = s.y;
      if (!metric) toWgs84->Transform(1, &x, &y);
      std::snprintf(line, sizeof line, "%s,%.12f,%.12f\n", s.id, x, y);
      text += line;
    }
    const fs::path path = Scratch(metric ? "sites-metric.csv" : "sites.csv");
    WriteAll(path, text);
    return path;
  }

  fs::path SitesLayer() {
    const fs::path path = Scratch("sites.gpkg");
    fs::remove(path);
    GDALDatasetUniquePtr dataset(
        GetGDALDriverManager()->GetDriverByName("GPKG")->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference ground;
    ground.SetFromUserInput(kGround);
    OGRLayer* layer = dataset->CreateLayer("sites", &ground, wkbPoint, nullptr);
    OGRFieldDefn name("name", OFTString);
    layer->CreateField(&name);
    for (const Site& s : kSites) {
      OGRFeature feature(layer->GetLayerDefn());
      feature.SetField("name", s.id);
      OGRPoint point(s.x, s.y);
      feature.SetGeometry(&point);
      EXPECT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    return path;
  }

  // Imports the lines, indexes the sites, and gives OUT's lines.
  std::vector<std::vector<std::string>> Index(const fs::path& lines, const char* by, Sites sites,
                                              std::vector<std::string> extra = {}) {
    const fs::path tables = Scratch(std::string("tables-") + by);
    EXPECT_EQ(Rillgeo({"import", lines.string(), "--to", tables.string(), "--by", by}).status, 0);
    const fs::path points = sites == Sites::MetricLayer ? SitesLayer() : SitesCsv(sites == Sites::MetricCsv);
    std::vector<std::string> args{"index",    points.string(), "--geometry", lines.string(),
                                  "--tables", tables.string(), "--out",      Scratch("out.csv")};
    if (sites == Sites::MetricCsv) args.insert(args.end(), {"--srs", kGround});
    args.insert(args.end(), extra.begin(), extra.end());
    const RunOutcome run = Rillgeo(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("7 points: 6 snapped, 1 not snapped"), std::string::npos) << run.err;
    return CsvLines(ReadAll(Scratch("out.csv")));
  }
};

struct SourceCase {
  const char* srs;  // of the flowlines
  Sites sites;
  std::int64_t idBase;  // 14-digit ids are renumbered by the import
};

TEST_F(IndexTest, SnapsToTheNearestPointOfTheNearestLine) {
  const SourceCase sources[] = {{"EPSG:4269", Sites::LonLat, 0},
                                {kGround, Sites::MetricCsv, 0},
                                {"EPSG:4326", Sites::MetricLayer, 0},
                                {"EPSG:4326", Sites::MetricCsv, 60000000000000}};
  for (const SourceCase& source : sources) {
    const fs::path lines = Scratch("lines.gpkg");
    fs::remove(lines);
    WriteFlowlines(lines, source.srs, source.idBase);
    for (const char* by : {"flowline", "reachcode"}) {
      SCOPED_TRACE(std::string(source.srs) + " --by " + by + " ids from " + std::to_string(source.idBase));
      const auto out = Index(lines, by, source.sites);
      ASSERT_EQ(out.size(), std::size(kExpected) + 1);
      const auto& header = out[0];
      const geo::IdMap ids = geo::IdMap::ReadFromFolder(Scratch(std::string("tables-") + by).string());
      for (std::size_t i = 0; i < std::size(kExpected); ++i) {
        const Expected& e = kExpected[i];
        const auto& row = out[i + 1];
        SCOPED_TRACE(e.id);
        ASSERT_EQ(row.size(), header.size());
        EXPECT_EQ(row[Column(header, "Request")], e.id);
        if (*e.sourceId == '\0') {
          EXPECT_EQ(row[Column(header, "StartReach")], "");
          EXPECT_EQ(row[Column(header, "Note")], "no flowline within 200 m");
          continue;
        }
        const std::int64_t sourceId = std::stoll(e.sourceId) + source.idBase;
        EXPECT_EQ(row[Column(header, "SourceId")], std::to_string(sourceId));
        EXPECT_EQ(row[Column(header, "Note")], "");
        const bool byCode = std::string(by) == "reachcode";
        EXPECT_NEAR(std::stod(row[Column(header, "StartMeasure")]), byCode ? e.byCode : e.byFlowline, 1e-6);
        EXPECT_NEAR(std::stod(row[Column(header, "ReachMeasure")]), e.byCode, 1e-6);
        EXPECT_NEAR(std::stod(row[Column(header, "Offset")]), e.offset, 0.006);
        // By code the reach is named for the code's lowest flowline (12 below 11).
        const std::int64_t reach = byCode && sourceId == 11 + source.idBase ? 12 + source.idBase : sourceId;
        EXPECT_EQ(ids.SourceComId(std::stoll(row[Column(header, "StartComid")])), reach);
        EXPECT_EQ(row[Column(header, "StartReach")], row[Column(header, "ReachCode")]);
      }
    }
  }
}

TEST_F(IndexTest, CandidatesComeNearestFirstAndRequestColumnsFollow) {
  WriteFlowlines(Scratch("lines.gpkg"), "EPSG:4326", 0);
  const auto out = Index(Scratch("lines.gpkg"), "flowline", Sites::LonLat,
                         {"--matches", "2", "--mode", "DD", "--distance", "5", "--keep-columns", "LAT"});
  const std::vector<std::string> header = {"Request",  "Rank",         "StartReach",   "StartComid", "StartMeasure",
                                           "SourceId", "ReachCode",    "ReachMeasure", "Offset",     "SnapLon",
                                           "SnapLat",  "Note",         "LAT",          "NavType",    "Direction",
                                           "Distance", "DistanceUnits"};
  EXPECT_EQ(out[0], header);
  std::vector<std::string> ranks;
  for (std::size_t i = 1; i < out.size(); ++i) {
    ranks.push_back(out[i][0] + ":" + out[i][1] + ":" + out[i][5]);
    EXPECT_EQ(std::vector<std::string>(out[i].end() - 4, out[i].end()), (std::vector<std::string>{"4", "D", "5", "M"}));
  }
  // Each point keeps its line; the two parallel lines tie and come in file order.
  EXPECT_EQ(ranks, (std::vector<std::string>{"share:1:11", "vertex:1:13", "end:1:11", "tie:1:15", "tie:2:14",
                                             "beyond::", "part:1:16", "gap:1:16"}));
}

TEST_F(IndexTest, AFlowlineMissingFromTheTablesIsNamed) {
  WriteFlowlines(Scratch("lines.gpkg"), "EPSG:4326", 0);
  const fs::path tables = Scratch("tables-flowline");
  ASSERT_EQ(Rillgeo({"import", Scratch("lines.gpkg").string(), "--to", tables.string()}).status, 0);
  // Tables of other flowlines: flowline 13's section is not among them.
  std::string sections;
  std::istringstream in(ReadAll(tables / "secdata.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line.find(",13,") == std::string::npos) sections += line + "\n";
  }
  WriteAll(tables / "secdata.txt", sections);
  const RunOutcome run = Rillgeo({"index", SitesCsv(false).string(), "--geometry", Scratch("lines.gpkg").string(),
                                  "--tables", tables.string(), "--out", Scratch("out.csv").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("7 points: 5 snapped, 2 not snapped"), std::string::npos) << run.err;
  const auto out = CsvLines(ReadAll(Scratch("out.csv")));
  ASSERT_EQ(out[2][0], "vertex");
  EXPECT_EQ(std::vector<std::string>(out[2].begin() + 1, out[2].begin() + 6),
            (std::vector<std::string>{"", "", "", "13", "04140201000002"}));
  EXPECT_EQ(out[2].back(), "flowline 13 has no section in the tables");
}

// Ground distance between two lon/lat points.
double Apart(const OGRPoint& a, const OGRPoint& b, geo::GroundCutter& cutter) {
  OGRLineString line;
  line.addPoint(&a);
  line.addPoint(&b);
  return cutter.LengthMeters(line);
}

TEST_F(IndexTest, MapCutsAtTheStartMeasureWhereTheSiteWasSnapped) {
  const fs::path geometry = kData / "oswego/raw/flowlines.gpkg";
  geo::VectorSource source(geometry.string(), "");
  const geo::FlowlineLines lines(source);
  // Sites 40 m off the middle vertex of every 25th flowline.
  std::string sites = "id,lon,lat\n";
  for (std::size_t i = 0; i < lines.all().size(); i += 25) {
    const OGRLineString& line = *lines.all()[i].line;
    OGRPoint p;
    line.getPoint(line.getNumPoints() / 2, &p);
    sites += std::to_string(i) + "," + std::to_string(p.getX() + 0.0004) + "," + std::to_string(p.getY()) + "\n";
  }
  WriteAll(Scratch("sites.csv"), sites);
  for (const char* by : {"flowline", "reachcode"}) {
    SCOPED_TRACE(by);
    const fs::path tables = Scratch(std::string("oswego-") + by);
    ASSERT_EQ(Rillgeo({"import", geometry.string(), "--to", tables.string(), "--by", by}).status, 0);
    const RunOutcome run = Rillgeo({"index", Scratch("sites.csv").string(), "--geometry", geometry.string(), "--tables",
                                    tables.string(), "--out", Scratch("out.csv").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    NetworkTables network;
    TextWriter discard = TextWriter::Discarding();
    ASSERT_EQ(LoadNetworkTables(TablePathsFor(tables.string() + "/", ""), ReadWholeFile, discard, network),
              LoadStatus::Loaded);
    const geo::IdMap ids = geo::IdMap::ReadFromFolder(tables.string());
    geo::GroundCutter cutter;
    const auto out = CsvLines(ReadAll(Scratch("out.csv")));
    std::size_t checked = 0;
    for (std::size_t i = 1; i < out.size(); ++i) {
      const auto& row = out[i];
      if (row[1].empty()) continue;
      const std::int32_t comId = std::stoi(row[2]);
      const double measure = std::stod(row[3]);
      OGRPoint snapped(std::stod(row[8]), std::stod(row[9]));
      // As map finds the point of a measure: the first section holding it, its flowline by the nodes.
      for (const SectionRecord& s : network.SectionsOf(comId)) {
        if (measure < s.F_meas || measure > s.T_meas) continue;
        const geo::FlowlineLine* line =
            lines.Find(ids.SourceNode(s.Fnode), ids.SourceNode(s.Tnode), ids.SourceComId(s.Com_id));
        ASSERT_NE(line, nullptr);
        OGRPoint cut;
        ASSERT_TRUE(cutter.PointAt(*line->line, 1.0 - (measure - s.F_meas) / (s.T_meas - s.F_meas), cut));
        EXPECT_LT(Apart(cut, snapped, cutter), 0.5) << "site " << row[0];
        break;
      }
      ++checked;
    }
    EXPECT_GT(checked, lines.all().size() / 25 * 9 / 10);
  }
}

struct RefusalCase {
  std::vector<std::string> args;  // after POINTS
  const char* points;             // the POINTS file's text
  int status;
  const char* message;
};

TEST_F(IndexTest, RefusalsLeaveOutAsItWas) {
  const std::string geometry = (kData / "oswego/raw/flowlines.gpkg").string();
  const std::string tables = (kData / "oswego").string();
  const RefusalCase cases[] = {
      {{}, "name,east,north\na,1,2\n", 2, "looked for lon, lng, long, longitude or x, and lat, latitude or y"},
      {{"--radius", "-5"}, "lon,lat\n", 2, "--radius"},
      {{"--radius", "nan"}, "lon,lat\n", 2, "--radius"},
      {{"--matches", "0"}, "lon,lat\n", 2, "--matches"},
      {{"--mode", "UX"}, "lon,lat\n", 2, "--mode"},
      {{"--id", "site"}, "lon,lat\n", 2, "no column site"},
      {{"--keep-columns", "Offset"}, "lon,lat,offset\n1,2,3\n", 2, "--keep-columns"},
      {{"--geometry", "missing.gpkg"}, "lon,lat\n-76,43\n", 1, "missing.gpkg cannot be opened"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.message);
    WriteAll(Scratch("points.csv"), c.points);
    WriteAll(Scratch("out.csv"), "before\n");
    std::vector<std::string> args{"index", Scratch("points.csv").string(), "--tables", tables,
                                  "--out", Scratch("out.csv").string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (std::find(args.begin(), args.end(), "--geometry") == args.end())
      args.insert(args.end(), {"--geometry", geometry});
    const RunOutcome run = Rillgeo(args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(Scratch("out.csv")), "before\n");
  }
  const RunOutcome missing = Rillgeo(
      {"index", "nowhere.gpkg", "--geometry", geometry, "--tables", tables, "--out", Scratch("out.csv").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("nowhere.gpkg cannot be opened"), std::string::npos) << missing.err;

  // No points: the header alone.
  WriteAll(Scratch("points.csv"), "lon,lat\n");
  ASSERT_EQ(Rillgeo({"index", Scratch("points.csv").string(), "--geometry", geometry, "--tables", tables, "--out",
                     Scratch("out.csv").string()})
                .status,
            0);
  EXPECT_EQ(ReadAll(Scratch("out.csv")),
            "Request,StartReach,StartComid,StartMeasure,SourceId,ReachCode,ReachMeasure,Offset,SnapLon,SnapLat,Note\n");
}

}  // namespace
}  // namespace rill::testing
