// rillgeo index on the coordinate mistakes users make: sites given in
// projected metres, with latitude and longitude exchanged, or nowhere near
// the network, and what the batch after it says of a site not snapped.
#include "tests/rillgeo/rillgeo_fixture.h"

namespace rill::testing {
namespace {

struct MistakeCase {
  const char* what;
  const char* points;  // the POINTS CSV; oswego's sites where empty, lon and lat exchanged
  int status;
  const char* message;  // in standard error
  bool written;         // OUT replaced (else it keeps "before")
};

TEST_F(RillgeoTest, NoSiteFailsInSilence) {
  const fs::path sites = fs::path(RILL_SOURCE_DIR) / "examples/oswego_sites.csv";
  std::string exchanged = ReadExisting(sites);
  exchanged.replace(exchanged.find("longitude,latitude"), 18, "latitude,longitude");
  const MistakeCase cases[] = {
      {"projected metres", "id,x,y\na,-76.2,43.1\nb,400000,4800000\n", 2,
       "site b lies at x 400000, y 4800000, which cannot be a longitude and a latitude: they look like projected "
       "coordinates; give their coordinate system with --srs",
       false},
      {"exchanged beyond range", "id,lon,lat\na,43.1,-120.5\n", 2, "latitude and longitude look exchanged (in a CSV",
       false},
      {"exchanged within range", "", 2, "no site snaps to a flowline, but 8 of 9 would with x and y exchanged", false},
      {"nowhere near", "id,lon,lat\na,-100,40\nb,,\n", 4, "2 points: 0 snapped, 2 not snapped", true},
      {"one of a kind near", "id,lon,lat\na,-100,40\nb,-76.25560,43.16375\n", 0, "2 points: 1 snapped", true},
  };
  for (const MistakeCase& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAll(Scratch("points.csv"), *c.points ? c.points : exchanged);
    WriteAll(Scratch("out.csv"), "before\n");
    const RunOutcome run =
        Rillgeo({"index", Scratch("points.csv").string(), "--geometry", (kData / "oswego/raw/flowlines.gpkg").string(),
                 "--tables", (kData / "oswego").string(), "--out", Scratch("out.csv").string(), "--mode", "DM"});
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(ReadAll(Scratch("out.csv")) != "before\n", c.written);
  }
  // The batch after it gives each site not snapped its note.
  const RunOutcome batch =
      Run(RILL_RILLMARK_EXE, {"batch", Scratch("out.csv").string(), "--tables", (kData / "oswego").string(), "--out",
                              Scratch("results.csv").string()});
  EXPECT_NE(ReadAll(Scratch("results.status.csv")).find("\"a\",2,,\"no flowline within 200 m\""), std::string::npos)
      << batch.err;
}

}  // namespace
}  // namespace rill::testing
