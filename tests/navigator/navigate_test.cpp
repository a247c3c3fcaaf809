// Whole navigations run in-process: the dispatcher's checks, the restart of a
// point-to-point walk, unit conversion and the status digits.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "navigation/navigation.h"
#include "navigator/command_line.h"
#include "navigator/result_files.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::kCsvHeader;
using testing::LoadNet;
using testing::ReadAll;
using testing::ScratchDir;

// A -> B -> C (1000, 2000, 4000 m); E alone (100 km); L, a lake, flows into S;
// K flows into K2 by a Dir 714 row; W -> X -> Y, Y branched and entered from X
// through sections that only end at X's end node.
const char* kSections =
    "100,200,70,71,7,500\n"
    "0,100,100,101,10,1000\n"
    "100,150,102,101,11,500\n0,100,103,102,11,1000\n";
const char* kFlows =
    "1,1,2,0,709,0\n2,2,3,0,709,0\n"
    "10,7,6,0,709,0\n"
    "11,8,9,0,714,0\n"
    "20,10,11,0,709,0\n21,12,10,0,709,0\n";
const char* kReaches =
    "1,A,20080101,1,1000,11\n2,B,20080101,1,2000,12\n3,C,20080101,1,4000,13\n4,E,20080101,1,100000,14\n"
    "6,S,20080101,1,1000,16\n7,L,20080101,1,500,17\n8,K,20080101,1,1000,18\n9,K2,20080101,1,1000,19\n"
    "10,X,20080101,1,1000,20\n11,Y,20080101,1,2000,21\n12,W,20080101,1,1000,22\n";

struct Outcome {
  int status = -1;
  std::string log;  // the navigation's lines only
  std::string csv;
  std::string ccode;
  bool csvWritten = false;
  bool ccodeWritten = false;
};

class Navigation : public ::testing::Test {
 protected:
  void SetUp() override { net_ = LoadNet(kSections, kFlows, kReaches); }

  // The first nine fields of a command line; the work folder, file names and
  // switches are added here.
  Outcome Run(const std::string& fields, const std::string& switches = "0,0") {
    ScratchDir dir;
    auto parsed = ParseCommandLine(fields + "," + dir.work() + ",out.csv,p_," + switches);
    EXPECT_TRUE(parsed.ok());
    const CommandLineFields line = *parsed;
    testing::LogFile log;
    Outcome o;
    const rill::Navigation navigation = Navigate(net_->tables, line.Request(), log.writer());
    std::ostringstream errors;
    o.status = WriteRunEnding(navigation, line, log.writer(), errors);
    o.log = log.Text();
    o.csvWritten = testing::fs::exists(dir.path() / "p_out.csv");
    o.ccodeWritten = testing::fs::exists(dir.path() / "p_ccode.txt");
    o.csv = ReadAll(dir.path() / "p_out.csv");
    o.ccode = ReadAll(dir.path() / "p_ccode.txt");
    return o;
  }
  std::unique_ptr<testing::LoadedNet> net_;
};

TEST_F(Navigation, PointToPointRestartsOnceWithTheEndsExchanged) {
  // From C at 50 down to A at 30: nothing leaves C, so the walk restarts from A
  // at 30 to C at 50 and the CSV is written from the last record back, with
  // Distance counted from the far end of C: 4300 - travel + length.
  Outcome o = Run("5,C,50,A,30,D,0,M,1");
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.log,
            "Output Com_id: 3, Rch_code: C, From Measure:      50.00, To Measure:       0.00, TravelDistance:          "
            " 2000.00000, Reach Length: 2000.00000\n"
            "Navigation Complete\n"
            "Restarting navigation with swapped begin and end points\n"
            "Output Com_id: 1, Rch_code: A, From Measure:      30.00, To Measure:       0.00, TravelDistance:          "
            "  300.00000, Reach Length:  300.00000\n"
            "Output Com_id: 2, Rch_code: B, From Measure:     100.00, To Measure:       0.00, TravelDistance:          "
            " 2300.00000, Reach Length: 2000.00000\n"
            "Output Com_id: 3, Rch_code: C, From Measure:     100.00, To Measure:      50.00, TravelDistance:          "
            " 4300.00000, Reach Length: 2000.00000\n"
            "New Navigation Complete\n");
  EXPECT_EQ(o.csv, kCsvHeader +
                       "\"C\",         3,\"20080101\",13,    50.000,   100.000,           2000.0000, 2000.0000\n"
                       "\"B\",         2,\"20080101\",12,     0.000,   100.000,           4000.0000, 2000.0000\n"
                       "\"A\",         1,\"20080101\",11,     0.000,    30.000,           4300.0000,  300.0000\n");
  EXPECT_EQ(o.ccode, "0000\n");
}

TEST_F(Navigation, RestartMovesTheEndMeasuresToTheOtherEnd) {
  // From B at 100 to A at 0: the restart starts at A with 100 (0 replaced) and
  // ends in B at 0 (100 replaced); taken literally, both passages would be empty.
  Outcome o = Run("5,B,100,A,0,D,0,M,1");
  EXPECT_EQ(o.log,
            "Output Com_id: 2, Rch_code: B, From Measure:     100.00, To Measure:       0.00, TravelDistance:          "
            " 2000.00000, Reach Length: 2000.00000\n"
            "Output Com_id: 3, Rch_code: C, From Measure:     100.00, To Measure:       0.00, TravelDistance:          "
            " 6000.00000, Reach Length: 4000.00000\n"
            "Navigation Complete\n"
            "Restarting navigation with swapped begin and end points\n"
            "Output Com_id: 1, Rch_code: A, From Measure:     100.00, To Measure:       0.00, TravelDistance:          "
            " 1000.00000, Reach Length: 1000.00000\n"
            "Output Com_id: 2, Rch_code: B, From Measure:     100.00, To Measure:       0.00, TravelDistance:          "
            " 3000.00000, Reach Length: 2000.00000\n"
            "New Navigation Complete\n");
  EXPECT_EQ(o.csv, kCsvHeader +
                       "\"B\",         2,\"20080101\",12,     0.000,   100.000,           2000.0000, 2000.0000\n"
                       "\"A\",         1,\"20080101\",11,     0.000,   100.000,           3000.0000, 1000.0000\n");
  EXPECT_EQ(o.ccode, "0000\n");

  // When the restart fails too: 0 in the first digit, 1 in the second.
  Outcome twice = Run("5,E,50,A,50,D,0,M,1");
  EXPECT_EQ(twice.ccode, "0100\n");
  EXPECT_EQ(twice.csv.substr(kCsvHeader.size(), 4), "\"C\",");  // reversed: C, B, A
}

TEST_F(Navigation, UpstreamPointToPointIsWalkedDownAndWrittenBackwards) {
  // Up from C at 30 to A at 70: walked from A at 70 down to C at 30.
  Outcome o = Run("5,C,30,A,70,U,0,M,1");
  EXPECT_EQ(o.log,
            "Output Com_id: 1, Rch_code: A, From Measure:      70.00, To Measure:       0.00, TravelDistance:          "
            "  700.00000, Reach Length:  700.00000\n"
            "Output Com_id: 2, Rch_code: B, From Measure:     100.00, To Measure:       0.00, TravelDistance:          "
            " 2700.00000, Reach Length: 2000.00000\n"
            "Output Com_id: 3, Rch_code: C, From Measure:     100.00, To Measure:      30.00, TravelDistance:          "
            " 5500.00000, Reach Length: 2800.00000\n"
            "Navigation Complete\n");
  EXPECT_EQ(o.csv, kCsvHeader +
                       "\"C\",         3,\"20080101\",13,    30.000,   100.000,           2800.0000, 2800.0000\n"
                       "\"B\",         2,\"20080101\",12,     0.000,   100.000,           4800.0000, 2000.0000\n"
                       "\"A\",         1,\"20080101\",11,     0.000,    70.000,           5500.0000,  700.0000\n");
  EXPECT_EQ(o.ccode, "0000\n");
}

TEST_F(Navigation, OnlyTheLastPassShowsInTheResults) {
  // The first pass enters Y against its sections (fallback, status 4) and ends
  // there; the restart from W to X raises nothing and records no piece.
  Outcome o = Run("5,X,50,W,50,D,0,M,1");
  EXPECT_NE(o.log.find("Reach 10 flows into the branched reach 11\n"), std::string::npos) << o.log;
  EXPECT_NE(o.log.find("New Navigation Complete\n"), std::string::npos);
  EXPECT_EQ(o.log.find("Special Cases"), std::string::npos) << o.log;
  EXPECT_EQ(o.ccode, "0000\n");

  // Without a restart the pieces and the flag stay.
  Outcome down = Run("1,X,50,W,50,D,0,M,1");
  EXPECT_EQ(down.ccode, "0040\n");
  EXPECT_NE(down.log.find("Navigation Complete\n"
                          "Special Cases\n"
                          "Com_id: 11, f_meas:  150.00000, t_meas:  100.00000, meters: 500.000000\n"
                          "Com_id: 11, f_meas:  100.00000, t_meas:    0.00000, meters: 1000.000000\n"),
            std::string::npos)
      << down.log;
}

TEST_F(Navigation, StatusDigits) {
  // Type 3 up from S into the lake L, which nothing enters: 1 (no row), 2 (lake).
  Outcome lake = Run("3,S,0,S,0,U,10,MI,1");
  EXPECT_EQ(lake.ccode, "1020\n");
  EXPECT_NE(lake.log.find("Found 709 - DLevel = 0: 7\n"), std::string::npos);
  // Types 1 never set the first two digits; type 3 does when it runs out of rows.
  EXPECT_EQ(Run("1,A,50,A,0,D,0,M,1").ccode, "0000\n");
  EXPECT_EQ(Run("3,A,50,A,0,D,100,MI,1").ccode, "1000\n");
  EXPECT_EQ(Run("3,A,50,A,0,D,1,MI,1").ccode, "0000\n");  // ended by the limit inside B
}

TEST_F(Navigation, CoastmainAndBlockedStarts) {
  Outcome coast = Run("1,K,-1,A,0,D,0,M,1");
  EXPECT_EQ(coast.log,
            "Setting coastmain to true\n"
            "Output Com_id: 8, Rch_code: K, From Measure:     100.00, To Measure:       0.00, TravelDistance:          "
            " 1000.00000, Reach Length: 1000.00000\n"
            "Output Com_id: 9, Rch_code: K2, From Measure:     100.00, To Measure:       0.00, TravelDistance:         "
            "  2000.00000, Reach Length: 1000.00000\n"
            "Navigation Complete\n");
  EXPECT_EQ(coast.ccode, "0000\n");
  // Only types 1 and 3 look at the coast.
  Outcome toEnd = Run("5,K,-1,K2,50,D,0,M,1");
  EXPECT_EQ(toEnd.log.find("coastmain"), std::string::npos);

  // A lake start going up is blocked: no walk, an empty CSV, status 1.
  Outcome blocked = Run("1,L,150,A,0,U,0,M,1");
  EXPECT_EQ(blocked.log, "Navigation Complete\n");
  EXPECT_TRUE(blocked.csvWritten);
  EXPECT_EQ(blocked.csv, "");
  EXPECT_EQ(blocked.ccode, "0010\n");
  EXPECT_EQ(blocked.status, 0);
}

TEST_F(Navigation, RequestsThatCannotBeNavigatedEndAsABlockedStart) {
  struct Case {
    const char* fields;
    const char* log;
  } cases[] = {
      {"1,Q,50,A,0,D,0,M,1", "Start reach Q is not in the reach table\nNavigation Complete\n"},
      {"5,A,50,Q,0,D,0,M,1", "End reach Q is not in the reach table\nNavigation Complete\n"},
      {"1,A,50,A,0,X,0,M,1", "Direction X is neither U nor D\nNavigation Complete\n"},
      {"5,Q1,50,Q2,0,X,0,M,1",
       "Start reach Q1 is not in the reach table\nEnd reach Q2 is not in the reach table\n"
       "Direction X is neither U nor D\nNavigation Complete\n"},
      // Checked after the exchange of an upstream point-to-point request.
      {"5,Q,50,A,0,U,0,M,1", "End reach Q is not in the reach table\nNavigation Complete\n"},
      // No coastmain line: the coast test is skipped.
      {"1,K,50,A,0,u,0,M,1", "Direction u is neither U nor D\nNavigation Complete\n"},
  };
  for (const Case& c : cases) {
    Outcome o = Run(c.fields);
    EXPECT_EQ(o.log, c.log) << c.fields;
    EXPECT_EQ(o.status, 0) << c.fields;
    EXPECT_TRUE(o.csvWritten) << c.fields;
    EXPECT_EQ(o.csv, "") << c.fields;
    EXPECT_EQ(o.ccode, "0010\n") << c.fields;
  }
  // An end reach that is not in the table does not matter to the other types.
  Outcome o = Run("1,A,50,Q,0,D,0,M,1");
  EXPECT_EQ(o.ccode, "0000\n");
  EXPECT_EQ(o.log.find("End reach"), std::string::npos);
}

TEST_F(Navigation, DistancesAreConvertedToMetersOnce) {
  // Type 3 down from the top of E (100 km). 10 MI = 16090 m: cut at
  // 100 - 16090 / 100000 * 100 = 83.91; stored as 16090 / 1609 = 10 MI.
  EXPECT_EQ(Run("3,E,100,A,0,D,10,MI,1").csv,
            kCsvHeader + "\"E\",         4,\"20080101\",14,   100.000,    83.910,             10.0000,   10.0000\n");
  struct Case {
    const char* fields;
    const char* to;
    const char* length;
  } cases[] = {
      {"3,E,100,A,0,D,10,FT,1", "    99.997", "   10.0000"},  // 3.048 m
      {"3,E,100,A,0,D,10,mi,1", "    99.990", "   10.0000"},  // 10 m
      {"3,E,100,A,0,D,10,KM,1", "    99.990", "   10.0000"},  // 10 m
      {"3,E,100,A,0,D,-5,MI,1", "   100.005", "   -0.0031"},  // -5 m, not -8045: -5 / 1609 MI
  };
  for (const Case& c : cases) {
    const std::string csv = Run(c.fields).csv;
    EXPECT_NE(csv.find(std::string(",") + c.to + ","), std::string::npos) << c.fields << "\n" << csv;
    EXPECT_EQ(csv.substr(csv.size() - 12), std::string(",") + c.length + "\n") << c.fields << "\n" << csv;
  }
  // 0 stays 0: a record of no length, not written to the CSV.
  Outcome zero = Run("3,E,100,A,0,D,0,MI,1");
  EXPECT_EQ(zero.csv, kCsvHeader);
  EXPECT_NE(zero.log.find("From Measure:     100.00, To Measure:     100.00, TravelDistance:              0.00000"),
            std::string::npos)
      << zero.log;
}

TEST_F(Navigation, AWorkspaceKeptFromRequestToRequestChangesNoResult) {
  // Restarts, walks that meet reaches again, and every kind both ways, in
  // one order and then in the reverse one, with the marks of the requests
  // before left in the workspace.
  const std::vector<std::string> lines = {"5,C,50,A,30,D,0,M,1", "2,C,0,A,0,U,0,M,1",   "1,A,100,A,0,D,0,M,1",
                                          "3,C,0,A,0,U,2,MI,1",  "4,C,0,A,0,U,3,MI,1",  "5,B,100,A,0,D,0,M,1",
                                          "2,Y,50,A,0,U,0,M,1",  "1,W,100,A,0,D,0,M,1", "4,A,100,A,0,D,1,MI,1",
                                          "2,L,150,A,0,U,0,M,1", "5,X,50,W,50,D,0,M,1"};
  auto navigate = [&](const std::string& fields, NavWorkspace* reuse) {
    ScratchDir dir;
    auto parsed = ParseCommandLine(fields + "," + dir.work() + ",out.csv,p_,0,0");
    EXPECT_TRUE(parsed.ok()) << fields;
    TextWriter log = TextWriter::InMemory();
    const rill::Navigation n = Navigate(net_->tables, parsed->Request(), log, reuse);
    std::string seen = log.TakeText() + std::string(n.digits ? n.digits->text() : "") + "\n";
    for (const ResultRow& r : n.rows)
      seen += std::to_string(r.comId) + " " + std::to_string(r.fromMeasure) + " " + std::to_string(r.toMeasure) + " " +
              std::to_string(r.distance) + "\n";
    return seen;
  };
  NavWorkspace workspace;
  for (int round = 0; round < 2; ++round)
    for (std::size_t k = 0; k < lines.size(); ++k) {
      const std::string& fields = round == 0 ? lines[k] : lines[lines.size() - 1 - k];
      EXPECT_EQ(navigate(fields, &workspace), navigate(fields, nullptr)) << fields;
    }
}

}  // namespace
}  // namespace rill
