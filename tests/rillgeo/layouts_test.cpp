// rillgeo import of NHDPlus as users download it: lines and value-added
// attributes in separate tables, one source or several, against the same
// rows joined by hand into one layer.
#include <gdal_utils.h>

#include "rillgeo/geometry/vector_source.h"
#include "tests/rillgeo/rillgeo_fixture.h"

namespace rill::testing {
namespace {

const char* const kOutputs[] = {"rchdata.txt", "flowdata.txt", "secdata.txt", "idmap.csv"};
const fs::path kGeodatabase = kData / "neversink_hr/raw/NHDPlus_HR.gdb";
const char* const kHandJoin =
    "SELECT f.*, v.StreamLeve, v.FromNode, v.ToNode, v.HydroSeq, v.LevelPathI, v.StartFlag, v.FromMeas, v.ToMeas "
    "FROM NHDFlowline f JOIN NHDPlusFlowlineVAA v ON f.NHDPlusID = v.NHDPlusID";

// Runs ogr2ogr's work on `source` into `destination` with `args`.
void Translate(const fs::path& destination, const fs::path& source, std::vector<std::string> args) {
  geo::StartGdal();
  GDALDatasetUniquePtr input(GDALDataset::Open(source.c_str(), GDAL_OF_VECTOR));
  ASSERT_TRUE(input) << source;
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  GDALVectorTranslateOptions* options = GDALVectorTranslateOptionsNew(argv.data(), nullptr);
  GDALDatasetH handle = GDALDataset::ToHandle(input.get());
  fs::create_directories(destination.parent_path());
  GDALDatasetH written = GDALVectorTranslate(destination.c_str(), nullptr, 1, &handle, options, nullptr);
  GDALVectorTranslateOptionsFree(options);
  ASSERT_NE(written, nullptr) << destination;
  GDALClose(written);
}

// A query of the geodatabase written as layer `name` of a GeoPackage.
void Query(const fs::path& gpkg, const std::string& name, const std::string& sql) {
  std::vector<std::string> args{"-f", "GPKG", "-dialect", "SQLite", "-sql", sql, "-nln", name};
  if (fs::exists(gpkg)) args.insert(args.begin(), "-update");
  Translate(gpkg, kGeodatabase, args);
}

// Oswego's flowlines (those `where` picks) as a Version 2 region folder:
// lines with the flowline attributes in a shapefile, the value-added ones
// (with an Fdate of their own that must not be read) in a dBASE table.
void WriteRegion(const fs::path& region, const std::string& where) {
  const fs::path gpkg = kData / "oswego/raw/flowlines.gpkg";
  Translate(region / "NHDSnapshot/Hydrography/NHDFlowline.shp", gpkg,
            {"-f", "ESRI Shapefile", "-dialect", "SQLite", "-sql",
             "SELECT geom, COMID, FDATE, LENGTHKM, REACHCODE, FTYPE, FCODE FROM NHDFlowline_Network WHERE " + where,
             "-nln", "NHDFlowline"});
  Translate(region / "nhdplusattributes/plusflowlinevaa.dbf", gpkg,
            {"-f", "ESRI Shapefile", "-dialect", "SQLite", "-sql",
             "SELECT COMID AS ComID, '1999-01-01' AS Fdate, StreamLeve, FromNode, ToNode, Hydroseq, LevelPathI, "
             "StartFlag, FromMeas, ToMeas, 'x' AS ReachCode, 0 AS LengthKM FROM NHDFlowline_Network WHERE " +
                 where,
             "-nln", "PlusFlowlineVAA"});
}

class LayoutTest : public RillgeoTest {
 protected:
  // Imports `sources` into a new folder `name`; the closing line.
  std::string Import(const std::string& name, std::vector<std::string> sources) {
    std::vector<std::string> args{"import"};
    args.insert(args.end(), sources.begin(), sources.end());
    args.insert(args.end(), {"--to", Scratch(name).string()});
    const RunOutcome run = Rillgeo(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
  }
  void ExpectSameTables(const fs::path& got, const fs::path& expected) {
    for (const char* table : kOutputs) {
      EXPECT_EQ(ReadAll(got / table), ReadAll(expected / table)) << got << " " << table;
    }
  }
};

TEST_F(LayoutTest, SplitLayoutsGiveTheTablesOfTheirRowsJoinedInOneLayer) {
  Query(Scratch("hand.gpkg"), "flowlines", kHandJoin);
  Import("hand", {Scratch("hand.gpkg").string()});
  EXPECT_NE(ReadAll(Scratch("hand/rchdata.txt")), "");
  EXPECT_EQ(Import("gdb", {kGeodatabase.string()}).find("left out"), std::string::npos);
  ExpectSameTables(Scratch("gdb"), Scratch("hand"));

  // Any source with the two tables; a flowline without its value-added row
  // is left out and counted, as an inner join leaves it out.
  const std::string dropped = "NHDPlusID NOT IN (SELECT NHDPlusID FROM NHDFlowline LIMIT 5 OFFSET 100)";
  Query(Scratch("split.gpkg"), "NHDFlowline", "SELECT * FROM NHDFlowline");
  Query(Scratch("split.gpkg"), "NHDPlusFlowlineVAA", "SELECT * FROM NHDPlusFlowlineVAA WHERE " + dropped);
  Query(Scratch("hand-dropped.gpkg"), "flowlines", kHandJoin + std::string(" WHERE f.") + dropped);
  Import("hand-dropped", {Scratch("hand-dropped.gpkg").string()});
  EXPECT_NE(Import("split", {Scratch("split.gpkg").string()})
                .find(", 5 flowlines without value-added attributes "
                      "left out\n"),
            std::string::npos);
  ExpectSameTables(Scratch("split"), Scratch("hand-dropped"));

  // Version 2: a region folder, and a drainage-area folder of two regions
  // that share 40 flowlines and the river that crosses between them.
  WriteRegion(Scratch("NHDPlusOS/NHDPlus04"), "1");
  Import("region", {Scratch("NHDPlusOS/NHDPlus04").string()});
  ExpectSameTables(Scratch("region"), kData / "oswego");
  const std::string lower =
      "Hydroseq < (SELECT Hydroseq FROM NHDFlowline_Network ORDER BY Hydroseq LIMIT 1 OFFSET 3000)";
  const std::string upper =
      "Hydroseq >= (SELECT Hydroseq FROM NHDFlowline_Network ORDER BY Hydroseq LIMIT 1 OFFSET 2960)";
  WriteRegion(Scratch("NHDPlusMS/NHDPlus05"), upper);
  WriteRegion(Scratch("NHDPlusMS/NHDPlus04"), lower);
  EXPECT_NE(Import("area", {Scratch("NHDPlusMS").string()}).find(", 40 held by two sources imported once\n"),
            std::string::npos);
  ExpectSameTables(Scratch("area"), kData / "oswego");
  Import("two", {Scratch("NHDPlusMS/NHDPlus05").string(), Scratch("NHDPlusMS/NHDPlus04").string()});
  ExpectSameTables(Scratch("two"), kData / "oswego");

  // Their lines index sites as the one layer does.
  const std::string sites = (fs::path(RILL_SOURCE_DIR) / "examples/oswego_sites.csv").string();
  const std::vector<std::vector<std::string>> geometries = {
      {"--geometry", (kData / "oswego/raw/flowlines.gpkg").string()},
      {"--geometry", Scratch("NHDPlusMS").string()},
      {"--geometry", Scratch("NHDPlusMS/NHDPlus05").string(), "--geometry", Scratch("NHDPlusMS/NHDPlus04").string()}};
  for (std::size_t i = 0; i < geometries.size(); ++i) {
    std::vector<std::string> args{"index",    sites,
                                  "--tables", Scratch("area").string(),
                                  "--out",    Scratch("sites" + std::to_string(i) + ".csv").string()};
    args.insert(args.end(), geometries[i].begin(), geometries[i].end());
    EXPECT_EQ(Rillgeo(args).status, 0);
    EXPECT_EQ(ReadAll(Scratch("sites" + std::to_string(i) + ".csv")), ReadAll(Scratch("sites0.csv"))) << i;
  }
}

struct JoinRefusal {
  const char* what;
  const char* flowlines;   // the lines' query, of the geodatabase
  const char* attributes;  // the value-added table's; none when null
  const char* message;
};

TEST_F(LayoutTest, WhatTheJoinNeedsAndDoesNotFindIsNamedAndNothingIsWritten) {
  const JoinRefusal cases[] = {
      {"no join column", "SELECT * FROM NHDFlowline", "SELECT StreamLeve, FromNode FROM NHDPlusFlowlineVAA",
       "column NHDPlusID is missing from table NHDPlusFlowlineVAA of "},
      {"no value-added column", "SELECT * FROM NHDFlowline", "SELECT NHDPlusID, FromNode FROM NHDPlusFlowlineVAA",
       "column StreamLeve is missing from table NHDPlusFlowlineVAA of "},
      {"id of the table not whole", "SELECT * FROM NHDFlowline",
       "SELECT NHDPlusID + (CASE WHEN rowid = 7 THEN 0.5 ELSE 0 END) AS NHDPlusID, StreamLeve, FromNode, ToNode, "
       "HydroSeq, LevelPathI, StartFlag, FromMeas, ToMeas FROM NHDPlusFlowlineVAA",
       "of table NHDPlusFlowlineVAA of "},
      {"id of a line not whole",
       "SELECT Shape, NHDPlusID + (CASE WHEN rowid = 9 THEN 0.25 ELSE 0 END) AS NHDPlusID, LengthKM, ReachCode "
       "FROM NHDFlowline",
       "SELECT * FROM NHDPlusFlowlineVAA", "column NHDPlusID holds '10000200"},
      {"no value-added table", "SELECT * FROM NHDFlowline", nullptr, "table NHDPlusFlowlineVAA is missing from "},
  };
  for (const JoinRefusal& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path gpkg = Scratch(std::string(c.what) + ".gpkg");
    Query(gpkg, "NHDFlowline", c.flowlines);
    if (c.attributes != nullptr) Query(gpkg, "NHDPlusFlowlineVAA", c.attributes);
    const RunOutcome run = Rillgeo({"import", gpkg.string(), "--to", Scratch("refused").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Scratch("refused")));
  }
  // A region folder without its value-added table names the file.
  WriteRegion(Scratch("NHDPlus04"), "COMID < 0");
  fs::remove_all(Scratch("NHDPlus04/nhdplusattributes"));
  const RunOutcome run = Rillgeo({"import", Scratch("NHDPlus04").string(), "--to", Scratch("refused").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("NHDPlus04/NHDPlusAttributes/PlusFlowlineVAA.dbf is missing"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Scratch("refused")));
}

}  // namespace
}  // namespace rill::testing
