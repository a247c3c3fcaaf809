// rillgeo import against the samples' own tables, and its refusals.
#include <gdal_utils.h>

#include <map>
#include <sstream>

#include "rillgeo/geometry/vector_source.h"
#include "tests/rillgeo/rillgeo_fixture.h"

namespace rill::testing {
namespace {

const char* const kTables[] = {"rchdata.txt", "flowdata.txt", "secdata.txt"};

struct SampleCase {
  const char* source;  // below the data folder
  const char* by;
  const char* expected;  // the data folder whose tables must come out
};

TEST_F(RillgeoTest, ImportGivesTheSampleTablesByteForByte) {
  const SampleCase cases[] = {
      {"oswego/raw/flowlines.csv", "flowline", "oswego"},
      {"oswego/raw/flowlines.gpkg", "flowline", "oswego"},
      {"oswego/raw/flowlines.csv", "reachcode", "oswego_rc"},
      {"oswego/raw/flowlines.gpkg", "reachcode", "oswego_rc"},
      {"coastal_ca/raw/flowlines.csv", "flowline", "coastal_ca"},
      {"coastal_ca/raw/coastal.gpkg", "flowline", "coastal_ca"},
      {"smallnets/raw/flowlines.csv", "flowline", "smallnets"},
  };
  for (const SampleCase& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " --by " + c.by);
    const fs::path out = Scratch(std::string(c.expected) + "-" + fs::path(c.source).extension().string());
    const RunOutcome run = Rillgeo({"import", (kData / c.source).string(), "--to", out.string(), "--by", c.by});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* table : kTables) {
      EXPECT_TRUE(ReadExisting(out / table) == ReadExisting(kData / c.expected / table)) << table;
    }
    EXPECT_FALSE(fs::exists(out / "idmap.csv"));
  }
}

TEST_F(RillgeoTest, ShapefileGivesTheSameTables) {
  geo::StartGdal();
  GDALDatasetUniquePtr gpkg(GDALDataset::Open((kData / "oswego/raw/flowlines.gpkg").c_str(), GDAL_OF_VECTOR));
  ASSERT_TRUE(gpkg);
  const char* toShapefile[] = {"-f", "ESRI Shapefile", nullptr};
  GDALVectorTranslateOptions* options = GDALVectorTranslateOptionsNew(const_cast<char**>(toShapefile), nullptr);
  GDALDatasetH source = GDALDataset::ToHandle(gpkg.get());
  GDALClose(GDALVectorTranslate(Scratch("shp").c_str(), nullptr, 1, &source, options, nullptr));
  GDALVectorTranslateOptionsFree(options);

  const fs::path out = Scratch("from-shapefile");
  const RunOutcome run = Rillgeo({"import", Scratch("shp").string(), "--to", out.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* table : kTables) EXPECT_TRUE(ReadExisting(out / table) == ReadExisting(kData / "oswego" / table));
}

// The result rows with each Com_id replaced by its source id.
std::vector<std::string> RowsBySourceId(const std::string& csv, const std::map<std::string, std::string>& sourceOf) {
  std::vector<std::string> rows;
  std::istringstream lines(csv);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
    if (fields.size() == 8 && fields[1] != "\"Com_id\"") {
      const std::string id = fields[1].substr(fields[1].find_first_not_of(' '));
      fields[1] = sourceOf.at(id);
      fields[3] = "";  // Duu_id is renumbered too
    }
    std::string row;
    for (const std::string& field : fields) row += field + ",";
    rows.push_back(row);
  }
  return rows;
}

TEST_F(RillgeoTest, HighResolutionIdsAreRenumberedAndNavigateAlike) {
  const fs::path imported = Scratch("haw");
  const fs::path reference = Scratch("haw-reference");
  fs::create_directories(reference);
  for (const char* table : kTables) fs::copy_file(kData / "haw_hr" / table, reference / table);
  ASSERT_EQ(Rillgeo({"import", (kData / "haw_hr/raw/flowlines.csv").string(), "--to", imported.string()}).status, 0);

  std::map<std::string, std::string> importedSource, referenceSource;
  std::istringstream idmap(ReadExisting(imported / "idmap.csv"));
  std::string line;
  std::getline(idmap, line);
  EXPECT_EQ(line, "Field,TableId,SourceId");
  while (std::getline(idmap, line)) {
    if (line.rfind("Com_id,", 0) != 0) continue;
    const std::string tableId = line.substr(7, line.rfind(',') - 7);
    const std::string sourceId = line.substr(line.rfind(',') + 1);
    importedSource[tableId] = sourceId;
    referenceSource[std::to_string(std::stoll(sourceId) - 15000500000000)] = sourceId;
  }
  EXPECT_EQ(importedSource.size(), 2691u);

  for (const char* request :
       {"2,03030002018884,0,X,0,U,0,MI,1", "1,03030002018884,0,X,0,U,0,MI,1", "4,03030002018884,20,X,0,U,12,MI,1"}) {
    SCOPED_TRACE(request);
    const auto got = RowsBySourceId(Navigate(imported, request), importedSource);
    EXPECT_GT(got.size(), 2u);
    EXPECT_EQ(got, RowsBySourceId(Navigate(reference, request), referenceSource));
  }
}

struct RefusalCase {
  const char* what;
  std::vector<std::string> args;  // after "import"; {CSV} is a broken copy of oswego's
  int status;
  const char* message;
};

TEST_F(RillgeoTest, ImportRefusesWithoutWritingTables) {
  std::string csv = ReadExisting(kData / "oswego/raw/flowlines.csv");
  WriteAll(Scratch("no-hydroseq.csv"), std::string(csv).replace(csv.find("\"Hydroseq\""), 10, "\"Hydro\""));
  const std::size_t fifth = csv.find("\n", csv.find("\n", csv.find("\n", csv.find("\n") + 1) + 1) + 1);
  WriteAll(Scratch("bad-length.csv"), std::string(csv).insert(csv.find(",\"04", fifth), "x"));
  const std::string tables = Scratch("tables").string();
  const RefusalCase cases[] = {
      {"missing column", {Scratch("no-hydroseq.csv").string(), "--to", tables}, 1, "column Hydroseq is missing"},
      {"bad value", {Scratch("bad-length.csv").string(), "--to", tables}, 1, "feature 4: column LENGTHKM holds"},
      {"no source", {Scratch("none.gpkg").string(), "--to", tables}, 1, "cannot be opened"},
      {"unknown layer",
       {(kData / "oswego/raw/flowlines.gpkg").string(), "--to", tables, "--layer", "x"},
       1,
       "no layer x"},
      {"no folder", {Scratch("no-hydroseq.csv").string()}, 2, "--to is required"},
      {"unknown mapping", {"a.csv", "--to", tables, "--by", "code"}, 2, "--by: code not in {flowline,reachcode}"},
      {"unknown option", {"a.csv", "--to", tables, "--fast"}, 2, "--fast"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args{"import"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunOutcome run = Rillgeo(args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(ListTree(tables, true).empty());
  }
}

}  // namespace
}  // namespace rill::testing
