// rillgeo map --features on oswego: the sites marked on each page are the
// ones the batch's FEATURES lists for the same rows, at the same distances.
#include <map>
#include <sstream>

#include "tests/rillgeo/rillgeo_fixture.h"

namespace rill::testing {
namespace {

const std::string kGeometry = (kData / "oswego/raw/flowlines.gpkg").string();
const std::string kSites = (fs::path(RILL_SOURCE_DIR) / "examples/oswego_sites.csv").string();

using SiteSet = std::multiset<std::string>;  // "request|site|distance"

class MapSites : public RillgeoTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Rillgeo({"import", kGeometry, "--to", Tables().string()}).status, 0);
    // Every site of the examples snapped, and a navigation 100 km down from each.
    ASSERT_EQ(Rillgeo({"index", kSites, "--geometry", kGeometry, "--tables", Tables().string(), "--out",
                       Scratch("sites.csv").string(), "--mode", "DD", "--distance", "100000"})
                  .status,
              0);
  }
  fs::path Tables() const { return Scratch("oswego"); }

  // The batch's FEATURES under `match`, as request|site|distance.
  SiteSet Features(const std::string& match) {
    const RunOutcome batch =
        Run(RILL_RILLMARK_EXE, {"batch", Scratch("sites.csv").string(), "--tables", Tables().string(), "--out",
                                Scratch("down.csv").string(), "--features", Scratch("sites.csv").string(),
                                "--feature-match", match, "--quiet"});
    EXPECT_EQ(batch.status, 0) << batch.err;
    std::istringstream lines(ReadAll(Scratch("down.features.csv")));
    std::string line;
    std::getline(lines, line);
    SiteSet sites;
    while (std::getline(lines, line)) {
      std::vector<std::string> fields;
      std::istringstream split(line);
      for (std::string field; fields.size() < 6 && std::getline(split, field, ',');) fields.push_back(field);
      const auto unquoted = [](std::string s) { return s.substr(1, s.size() - 2); };
      sites.insert(unquoted(fields[0]) + "|" + unquoted(fields[1]) + "|" +
                   fields[5].substr(fields[5].find_first_not_of(' ')));
    }
    return sites;
  }
};

// The sites a page marks, from the tips of their labels ("site X passed by
// request R, distance 1,234.5678 m"), as request|site|distance.
SiteSet Marked(const std::string& page, const std::string& request) {
  SiteSet sites;
  const std::string label = "<text class=\"site\"";
  for (std::size_t at = page.find(label); at != std::string::npos; at = page.find(label, at + 1)) {
    const std::size_t tip = page.find("data-t=\"site ", at) + 13;
    const std::string text = page.substr(tip, page.find('"', tip) - tip);
    std::string id = text.substr(0, text.find(", distance "));
    std::string from = request;
    if (const std::size_t by = id.find(" passed by request "); by != std::string::npos) {
      from = id.substr(by + 19);
      id.resize(by);
    }
    std::string distance = text.substr(text.find(", distance ") + 11);
    distance.resize(distance.find(' '));
    std::erase(distance, ',');
    sites.insert(from + "|" + id + "|" + distance);
  }
  return sites;
}

TEST_F(MapSites, PagesMarkTheSitesFeaturesListsAtTheirDistances) {
  for (const char* match : {"exact", "reach"}) {
    SCOPED_TRACE(match);
    const SiteSet features = Features(match);
    ASSERT_GT(features.size(), 5u);
    const fs::path pages = Scratch(std::string("pages-") + match);
    const RunOutcome run =
        Rillgeo({"map", Scratch("down.csv").string(), "--tables", Tables().string(), "--geometry", kGeometry,
                 "--per-request", pages.string(), "--html", Scratch("all.html").string(), "--units", "m", "--features",
                 Scratch("sites.csv").string(), "--feature-match", match});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(std::to_string(features.size()) + " sites passed marked"), std::string::npos) << run.out;
    // The one site rillgeo index could not snap has no place: named, not marked.
    EXPECT_NE(run.err.find("1 rows of the site table"), std::string::npos) << run.err;
    EXPECT_EQ(Marked(ReadAll(Scratch("all.html")), ""), features);
    SiteSet onPages;
    for (const auto& entry : fs::directory_iterator(pages)) {
      const std::string stem = entry.path().stem().string();
      if (entry.path().extension() != ".html" || stem == "index") continue;
      onPages.merge(Marked(ReadAll(entry.path()), stem));  // the stems are the ids here
    }
    EXPECT_EQ(onPages, features);
  }
}

TEST_F(MapSites, AnUnusableSiteTableWritesNothing) {
  WriteAll(Scratch("noplace.csv"), "Feature,Measure\nA,1\n");
  const RunOutcome batch = Run(RILL_RILLMARK_EXE, {"batch", Scratch("sites.csv").string(), "--tables",
                                                   Tables().string(), "--out", Scratch("down.csv").string()});
  ASSERT_EQ(batch.status, 0) << batch.err;
  // A table without a place column is unusable (2), as for the batch; one that cannot be read, 1.
  const std::pair<std::string, int> cases[] = {{Scratch("noplace.csv").string(), 2},
                                               {Scratch("missing.csv").string(), 1}};
  for (const auto& [table, status] : cases) {
    const RunOutcome run = Rillgeo({"map", Scratch("down.csv").string(), "--tables", Tables().string(), "--geometry",
                                    kGeometry, "--html", Scratch("page.html").string(), "--features", table});
    EXPECT_EQ(run.status, status);
    EXPECT_NE(run.err.find(table), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Scratch("page.html")));
  }
}

}  // namespace
}  // namespace rill::testing
