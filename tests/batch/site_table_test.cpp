// A site table as it is read and placed on the sample network: which column
// is the id and the place, what travels, and why a row is skipped.
#include "batch/site_table.h"

#include <gtest/gtest.h>

#include <fstream>

#include "navigation/navigation.h"
#include "tests/support/files.h"

namespace rill::testing {
namespace {

struct SiteTableCase {
  const char* name;
  const char* text;
  const char* travelHeader;  // nullptr: the table cannot be used
  std::size_t placed;
  std::vector<std::string> skipped;  // "line: reason"
};

TEST(SiteTable, ColumnsPlacesAndSkips) {
  const SiteTableCase cases[] = {
      {"byte-order mark", "\xEF\xBB\xBFid,Com_id\nA,4100011\n", "", 1, {}},
      {"preferred columns; names FEATURES has take Site",
       "Request,Site,StartComid,Com_id,Distance,SiteDistance\nr,A,1,4100011,5,6\n",
       ",\"SiteRequest\",\"StartComid\",\"SiteSiteDistance\",\"SiteDistance\"",
       1,
       {}},
      {"measures with blanks, at the sections' ends, -0",
       "Site,Com_id,Measure\nA,4100011, 50 \nB,4100047,200\nC,4100011,-0.0\nD,4100011,\n",
       "",
       4,
       {}},
      {"rows that cannot be placed",
       "Site,Com_id,Measure\nA,4100011,1,x\n,4100011,1\nB,4100011.5,1\nC,,1\nD,4100011,nan\nE,4100011,100.001\n"
       "F,4100011,\"2",
       "",
       0,
       {"2: it has 4 of the 3 fields", "3: it has no id", "4: its Com_id 4100011.5 is not a whole number",
        "5: it has no Com_id", "6: its measure nan is not a number",
        "7: its measure 100.001 lies outside the sections of reach 4100011",
        "8: a quote is not closed at the end of the file"}},
      {"no place column", "Site,Measure\nA,1\n", nullptr, 0, {}},
      {"no header at all", "", nullptr, 0, {}},
  };
  ScratchDir dir("rill-sites");
  NetworkTables tables;
  TextWriter discard = TextWriter::Discarding();
  ASSERT_TRUE(
      LoadNetworkTables(TablePathsFor(std::string(RILL_SOURCE_DIR) + "/examples/", ""), ReadWholeFile, discard, tables)
          .ok());
  for (const SiteTableCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = (dir.path() / "sites.csv").string();
    std::ofstream(path, std::ios::binary) << c.text;
    StatusOr<SiteTable> table = ReadSiteTable(path);
    ASSERT_EQ(table.ok(), c.travelHeader != nullptr) << table.status().message();
    if (!table.ok()) {
      EXPECT_EQ(table.status().fault(), Fault::Unusable);
      EXPECT_NE(table.status().message().find("place column (Com_id or StartComid)"), std::string::npos);
      continue;
    }
    EXPECT_EQ(table->travelHeader, c.travelHeader);
    const PlacedSites placed(*table, tables);
    EXPECT_EQ(placed.placed(), c.placed);
    std::vector<std::string> skipped;
    for (const SkippedSite& s : placed.named()) skipped.push_back(std::to_string(s.line) + ": " + s.reason);
    EXPECT_EQ(skipped, c.skipped);
    EXPECT_EQ(placed.skipped(), c.skipped.size());
  }
}

}  // namespace
}  // namespace rill::testing
