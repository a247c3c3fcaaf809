// The file names of per-request pages, the figures of a legend, and what
// rillgeo says about its own options.
#include <gtest/gtest.h>

#include "rillgeo/map/html_map.h"
#include "rillgeo/map/safe_names.h"
#include "tests/rillgeo/rillgeo_fixture.h"

namespace rill::testing {
namespace {

TEST(SafeFileStems, KeepSafeBytesAndStayUnique) {
  struct Case {
    std::vector<std::string> ids;
    std::vector<std::string> stems;
  };
  const Case cases[] = {
      {{"r1", "site-2.b_c"}, {"r1", "site-2.b_c"}},
      {{"a b", "a/b", "a_b"}, {"a_b", "a_b-2", "a_b-3"}},       // blank and slash both become '_'
      {{"Gauge", "gauge"}, {"Gauge", "gauge-2"}},               // a file system may ignore case
      {{"x-2", "x", "x"}, {"x-2", "x", "x-3"}},                 // a suffix never takes an id's own name
      {{"index", "INDEX"}, {"index-2", "INDEX-3"}},             // the index page keeps its name
      {{"", ".hidden", "../up"}, {"r", "r.hidden", "r.._up"}},  // never empty, never a dot file
      {{"\xc3\xa9t\xc3\xa9 \"1\""}, {"__t____1_"}},             // bytes outside ASCII and quotes
      {{std::string(100, 'a')}, {std::string(80, 'a')}},
  };
  for (const Case& c : cases) EXPECT_EQ(geo::SafeFileStems(c.ids), c.stems) << c.ids.front();
}

TEST(PlainNumber, GroupsThousandsWithoutExponent) {
  const std::pair<double, const char*> cases[] = {{0.5932, "0.59"},    {12.34, "12.3"},     {999.4, "999"},
                                                  {50000.0, "50,000"}, {-4321.0, "-4,321"}, {1234567.8, "1,234,568"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(geo::PlainNumber(value), text) << value;
}

class RillgeoOptions : public RillgeoTest {};

TEST_F(RillgeoOptions, HelpOnDashHAndTheNearestOptionWhenMistyped) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* out;
    const char* err;
  };
  const std::vector<std::string> map{"map", "r.csv", "--tables", "t", "--geometry", "g"};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), map.begin(), map.end());
    return more;
  };
  const Case cases[] = {
      {{"-h"}, 0, "Usage: rillgeo", ""},
      {with({"--geojsn", "o"}), 2, "", "rillgeo map: --geojsn is not an option; did you mean --geojson?\n"},
      {with({"--html", "o", "--units", "KMS"}), 2, "", "--units"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    const RunOutcome run = Rillgeo(c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    if (c.status == 0) {
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
  }
  // The bare name lists the commands, a line each, and does nothing else.
  const RunOutcome bare = Rillgeo({});
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(bare.out, "");
  for (const char* command : {"\n  import ", "\n  map ", "\n  index "})
    EXPECT_NE(bare.err.find(command), std::string::npos) << bare.err;
}

}  // namespace
}  // namespace rill::testing
