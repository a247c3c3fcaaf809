// rillgeo map on oswego with results it cannot wholly draw, and a batch's
// requests drawn one page each.
#include "tests/rillgeo/rillgeo_fixture.h"

namespace rill::testing {
namespace {

const std::string kGeometry = (kData / "oswego/raw/flowlines.gpkg").string();

class MapOutcomes : public RillgeoTest {
 protected:
  void SetUp() override { ASSERT_EQ(Rillgeo({"import", kGeometry, "--to", Tables().string()}).status, 0); }
  fs::path Tables() const { return Scratch("oswego"); }
  RunOutcome Map(const fs::path& results, std::vector<std::string> outputs) {
    std::vector<std::string> args{"map", results.string(), "--tables", Tables().string(), "--geometry", kGeometry};
    args.insert(args.end(), outputs.begin(), outputs.end());
    return Rillgeo(args);
  }
};

// The text between `before` and the next '<', or nothing.
std::string After(const std::string& text, const std::string& before) {
  const std::size_t at = text.find(before);
  if (at == std::string::npos) return "";
  return text.substr(at + before.size(), text.find('<', at + before.size()) - at - before.size());
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST_F(MapOutcomes, RowsWithoutALineAreNamedAndFailuresAreOneLine) {
  const std::string oswego = Navigate(Tables(), "3,04140201002304,50,X,0,D,5,MI,1");
  const std::string header = oswego.substr(0, oswego.find('\n') + 1);
  ScratchDir coast("rillgeo-coast");
  for (const char* table : {"rchdata.txt", "flowdata.txt", "secdata.txt"})
    fs::copy_file(kData / "coastal_ca" / table, coast.path() / table);
  const std::string coastal = Navigate(coast.path(), "1,18010107000006,50,X,0,D,0,MI,1");
  const std::string coastalRows = coastal.substr(coastal.find('\n') + 1);
  const std::string firstCoastal = coastalRows.substr(1, 14);

  struct Case {
    const char* what;
    std::string results;
    int status;
    std::string out;    // standard output holds it
    std::string err;    // standard error holds it
    bool loopingIdMap;  // an idmap.csv that cannot even be examined: a link to itself
  };
  const Case cases[] = {
      {"another network", coastal, 1, "", "the results do not belong to this geometry", false},
      {"some rows of another network", oswego + coastalRows, 0, "of them without a line (first: " + firstCoastal, "",
       false},
      {"no row at all", header, 0, "rillgeo map: 0 rows drawn\n", "", false},
      {"a file-system failure", oswego, 1, "", "idmap.csv cannot be examined", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAll(Scratch("results.csv"), c.results);
    fs::remove(Scratch("out.html"));
    if (c.loopingIdMap) fs::create_symlink("idmap.csv", Tables() / "idmap.csv");
    const RunOutcome run = Map(Scratch("results.csv"), {"--html", Scratch("out.html").string()});
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    EXPECT_EQ(fs::exists(Scratch("out.html")), c.status == 0);
    if (c.status != 0) {
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    if (c.loopingIdMap) fs::remove(Tables() / "idmap.csv");
  }
}

TEST_F(MapOutcomes, PerRequestPagesWithAnIndex) {
  // Ids with blanks and slashes, two of them one safe name apart.
  WriteAll(Scratch("requests.csv"),
           "Request,NavType,StartReach,StartMeasure,Direction,Distance,DistanceUnits\n"
           "site 1/up,3,04140201002304,50,U,30000,FT\n"
           "site 1 up,3,04140201002304,50,D,30000,FT\n"
           "index,1,04140201002300,62.5,U,0,FT\n");
  const RunOutcome batch = Run(RILL_RILLMARK_EXE, {"batch", Scratch("requests.csv").string(), "--tables",
                                                   Tables().string(), "--out", Scratch("results.csv").string()});
  ASSERT_EQ(batch.status, 0) << batch.err;
  const fs::path pages = Scratch("pages");
  const RunOutcome run =
      Map(Scratch("results.csv"), {"--per-request", pages.string(), "--geojson", Scratch("all.geojson").string(),
                                   "--html", Scratch("all.html").string(), "--units", "ft"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("on 3 request pages"), std::string::npos) << run.out;
  EXPECT_EQ(ListTree(pages, true),
            (std::vector<std::string>{"index-2.geojson", "index-2.html", "index.html", "site_1_up-2.geojson",
                                      "site_1_up-2.html", "site_1_up.geojson", "site_1_up.html"}));

  const std::string index = ReadExisting(pages / "index.html");
  const std::string all = ReadExisting(Scratch("all.html"));
  struct Page {
    const char* stem;
    const char* id;
  };
  for (const Page& p : {Page{"site_1_up", "site 1/up"}, Page{"site_1_up-2", "site 1 up"}, Page{"index-2", "index"}}) {
    SCOPED_TRACE(p.id);
    const std::string page = ReadExisting(pages / (std::string(p.stem) + ".html"));
    // The index links the page under the request's id, with its rows and length.
    const std::string rows =
        After(index, "<a href=\"" + std::string(p.stem) + ".html\">" + p.id + "</a></td><td class=\"n\">");
    ASSERT_FALSE(rows.empty()) << index;
    EXPECT_EQ(std::to_string(Count(page, "<path class=\"p\"")), rows);
    EXPECT_EQ(Count(page, "data-t=\"start\""), 1u);
    EXPECT_EQ(Count(page, "Travel distance (ft)"), 1u);
    // The page of every request marks where each one starts.
    EXPECT_EQ(Count(all, "data-t=\"start of request " + std::string(p.id) + "\""), 1u);
  }
  EXPECT_EQ(Count(index, "<a href="), 6u);  // each page and its GeoJSON file
  // 30,000 ft walked: the legend's far end is a plain figure.
  const std::string farthest = After(all, "text-anchor=\"end\">");
  EXPECT_EQ(farthest.size(), 6u) << farthest;
  EXPECT_EQ(farthest.find(','), 2u) << farthest;
}

TEST_F(MapOutcomes, PagesCarryUnitsTitlesAndWhyARequestLeftNoRow) {
  // A site snapped, an unknown start (ccode 0010) and a site not snapped,
  // with the note rillgeo index gives it.
  WriteAll(Scratch("requests.csv"),
           "Request,NavType,StartReach,StartMeasure,Direction,Distance,DistanceUnits,Note\n"
           "near,3,04140201002304,50,D,2,MI,\n"
           "lost,1,99999999999999,50,D,0,MI,\n"
           "far,1,,,D,0,MI,no flowline within 200 m\n");
  const RunOutcome batch = Run(RILL_RILLMARK_EXE, {"batch", Scratch("requests.csv").string(), "--tables",
                                                   Tables().string(), "--out", Scratch("results.csv").string()});
  ASSERT_EQ(batch.status, 0) << batch.err;
  struct Case {
    std::vector<std::string> units;
    const char* tip;     // a hover tip's distance ends so
    const char* legend;  // the legend's unit
    const char* bar;     // the scale bar's unit
  };
  const Case cases[] = {
      {{"--units", "MI"}, " mi\"", "Travel distance (mi)", " mi</text>"},
      {{"--units", "ft"}, " ft\"", "Travel distance (ft)", " ft</text>"},
      {{"--units", "KM"}, " km\"", "Travel distance (km)", " km</text>"},
      {{}, "0\"", "Travel distance (request's units)", " km</text>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    const fs::path pages = Scratch("pages");
    std::vector<std::string> args{"--per-request", pages.string(), "--requests", Scratch("requests.csv").string()};
    args.insert(args.end(), c.units.begin(), c.units.end());
    const RunOutcome run = Map(Scratch("results.csv"), args);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string page = ReadExisting(pages / "near.html");
    EXPECT_EQ(Count(page, "<h1 id=\"title\">Navigation results.csv request near</h1>"), 1u);
    const std::string tip = After(page, "data-t=\"04140201002304, measures 50.000 to 0.000, distance ");
    EXPECT_NE(tip.find(c.tip), std::string::npos) << tip;
    EXPECT_EQ(Count(page, c.legend), 1u);
    EXPECT_EQ(Count(page, c.bar), 1u);
    EXPECT_EQ(Count(page, ">start</text>") + Count(page, ">end</text>"), 2u);  // the marks named in the legend

    const std::string index = ReadExisting(pages / "index.html");
    // Rows, then the length with one decimal, whatever its size.
    const std::string rows = After(index, "near</a></td><td class=\"n\">");
    const std::string length = After(index, "near</a></td><td class=\"n\">" + rows + "</td><td class=\"n\">");
    EXPECT_NE(rows, "0");
    ASSERT_GE(length.size(), 3u) << index;
    EXPECT_EQ(length[length.size() - 2], '.') << length;
    EXPECT_EQ(Count(index, "<a href="), 1u);  // only the request with rows has a page
    EXPECT_NE(index.find("<tr><td>lost</td><td>0, ccode 0010</td><td>Start reach 99999999999999 is not in the reach "
                         "table</td><td></td></tr>"),
              std::string::npos)
        << index;
    EXPECT_NE(index.find("<tr><td>far</td><td>2</td>"), std::string::npos) << index;
    EXPECT_NE(index.find("<td>no flowline within 200 m</td></tr>"), std::string::npos) << index;
  }
}

}  // namespace
}  // namespace rill::testing
