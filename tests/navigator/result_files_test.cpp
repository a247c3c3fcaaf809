// The result CSV, ccode.txt and the special-case block, and what a run does
// when its output files cannot be written.
#include "navigator/result_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <string>

#include "navigation/result_of_pass.h"
#include "tests/support/net_fixture.h"

namespace rill {
namespace {

using testing::kCsvHeader;
using testing::ReadAll;
using testing::ScratchDir;
using testing::WriteAll;
namespace fs = std::filesystem;

// Forward lines of the records below, and the reversed ones (Distance counted
// from the far end of the last record: 3910 - travel + length).
const std::string kR0 =
    "\"05010001000012\",      5432,\"19990101\",7,     0.000,   100.000,           1234.5000, 1234.5000\n";
const std::string kR2 =
    "\"05010002000001\",         3,\"20080101\",3,   100.000,     0.000,           2234.5000, 1000.0000\n";
const std::string kR3 = "\"0501\",         4,\"20080101\",4,   100.000,     0.000,           2734.5000,  500.0000\n";
const std::string kR4 =
    "\"05010001\",         5,\"20080101\",5,   100.000,    50.000,           2834.5000,  100.0000\n";
const std::string kR5 = "\"ABC\",         6,\"20080101\",6,   100.000,     0.000,           3834.5000, 1000.0000\n";
const std::string kR6 = "\"ABCD\",         7,\"20080101\",7,   100.000,    90.000,           3844.5000,   10.0000\n";
const std::string kR7 =
    "\"05010001000099\",         2,\"20080101\",2,    60.000,    20.000,           3910.0000,   65.5000\n";
const std::string kR7r =
    "\"05010001000099\",         2,\"20080101\",2,    20.000,    60.000,             65.5000,   65.5000\n";
const std::string kR4r =
    "\"05010001\",         5,\"20080101\",5,    50.000,   100.000,           1175.5000,  100.0000\n";
const std::string kR0r =
    "\"05010001000012\",      5432,\"19990101\",7,   100.000,     0.000,           3910.0000, 1234.5000\n";
const std::string kR5r = "\"ABC\",         6,\"20080101\",6,     0.000,   100.000,           1075.5000, 1000.0000\n";

class ResultFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    net_ = testing::LoadNet("", "",
                            "5432,05010001000012,19990101,1,100,7\n"
                            "2,05010001000099,20080101,1,100,2\n"
                            "3,05010002000001,20080101,1,100,3\n"
                            "4,0501,20080101,1,100,4\n"
                            "5,05010001,20080101,1,100,5\n"
                            "6,ABC,20080101,1,100,6\n"
                            "7,ABCD,20080101,1,100,7\n");
  }
  void AddRecords(NavState& state) {
    struct R {
      std::int32_t reach;
      double from, to, travel, length;
    } rows[] = {
        {0, 0.0, 100.0, 1234.5, 1234.5}, {1, 100.0, 100.0, 1234.5, 0.0},  // no extent: never written
        {2, 100.0, 0.0, 2234.5, 1000.0}, {3, 100.0, 0.0, 2734.5, 500.0}, {4, 100.0, 50.0, 2834.5, 100.0},
        {5, 100.0, 0.0, 3834.5, 1000.0}, {6, 100.0, 90.0, 3844.5, 10.0}, {1, 60.0, 20.0, 3910.0, 65.5},
    };
    for (const R& r : rows) {
      ResultRecord rec;
      rec.reach = r.reach;
      rec.Com_id = net_->tables.reaches()[static_cast<std::size_t>(r.reach)].Com_id;
      rec.FromMeasure = r.from;
      rec.ToMeasure = r.to;
      rec.TravelDistance = r.travel;
      rec.RchLength = r.length;
      state.results.Append(rec);
    }
  }
  struct Written {
    int status;
    std::string csv;
    std::string ccode;
    std::string log;
  };
  Written Write(NavState& state, std::int32_t navType, const std::string& start, const std::string& end,
                std::int16_t boundary, bool reversed) {
    ScratchDir dir;
    testing::LogFile log;
    CommandLineFields fields;
    fields.NavType = navType;
    fields.WorkPath = dir.work();
    fields.FilePrefix = "run_";
    fields.OutFile = "result.csv";
    Written w;
    PassEnding ending;
    ending.kind = NavKindOf(navType);
    ending.pointsSwapped = reversed;
    ending.boundary = UnitBoundaryOf(boundary);
    ending.boundaryCode = reversed ? end : start;
    NavState copy = state;
    const Navigation navigation = ResultOfPass(net_->tables, copy, ending);
    std::ostringstream errors;
    w.status = WriteRunEnding(navigation, fields, log.writer(), errors);
    w.csv = ReadAll(dir.path() / "run_result.csv");
    w.ccode = ReadAll(dir.path() / "run_ccode.txt");
    w.log = log.Text();
    return w;
  }
  std::unique_ptr<testing::LoadedNet> net_;
};

TEST_F(ResultFiles, RowsInBothOrdersThroughBothFilters) {
  NavState state;
  AddRecords(state);
  const std::string start = "05010001000012";
  EXPECT_EQ(Write(state, 1, start, "X", 0, false).csv, kCsvHeader + kR0 + kR2 + kR3 + kR4 + kR5 + kR6 + kR7);
  // The first 8 characters of the start code; "0501" is too short to agree.
  EXPECT_EQ(Write(state, 1, start, "X", 1, false).csv, kCsvHeader + kR0 + kR4 + kR7);
  // Reversed, the end reach is the reference.
  EXPECT_EQ(Write(state, 5, "X", start, 1, true).csv, kCsvHeader + kR7r + kR4r + kR0r);
  EXPECT_EQ(Write(state, 5, start, "ABC", 1, true).csv, kCsvHeader + kR5r);
  // Any other value lets no row through.
  EXPECT_EQ(Write(state, 1, start, "X", 2, false).csv, kCsvHeader);
  EXPECT_EQ(Write(state, 1, start, "X", -1, true).csv, kCsvHeader);

  // No record at all: an empty file, not even the header; ccode still written.
  NavState empty;
  const Written none = Write(empty, 1, start, "X", 0, false);
  EXPECT_EQ(none.csv, "");
  EXPECT_EQ(none.ccode, "0000\n");
  EXPECT_EQ(none.log, "");
  EXPECT_EQ(none.status, 0);
}

TEST_F(ResultFiles, SpecialCaseBlockFollowsTheNavigationLines) {
  NavState state;
  state.specials.AppendSpecialCase({5432, 35.5, 100.0, 812.0});
  state.specials.AppendSpecialCase({7, 100.0, 0.0, 1234.5678});
  const Written w = Write(state, 1, "A", "B", 0, false);
  EXPECT_EQ(w.log,
            "Special Cases\n"
            "Com_id: 5432, f_meas:   35.50000, t_meas:  100.00000, meters: 812.000000\n"
            "Com_id: 7, f_meas:  100.00000, t_meas:    0.00000, meters: 1234.567800\n");
}

TEST_F(ResultFiles, StatusDigits) {
  NavState s;
  auto StatusDigits = [&](NavState& state, NavKind kind) {
    PassEnding ending;
    ending.kind = kind;
    NavState copy = state;
    return std::string(ResultOfPass(net_->tables, copy, ending).digits->text());
  };
  EXPECT_EQ(StatusDigits(s, NavKindOf(1)), "0000");
  s.noNextReach = 1;
  EXPECT_EQ(StatusDigits(s, NavKindOf(1)), "0000");
  EXPECT_EQ(StatusDigits(s, NavKindOf(2)), "0000");
  EXPECT_EQ(StatusDigits(s, NavKindOf(3)), "1000");
  EXPECT_EQ(StatusDigits(s, NavKindOf(4)), "1000");
  EXPECT_EQ(StatusDigits(s, NavKindOf(5)), "0100");
  s.noNextReach = 0;
  s.branchFallbackUsed = 1;
  EXPECT_EQ(StatusDigits(s, NavKindOf(1)), "0040");
  s.divergenceSeen = 1;
  EXPECT_EQ(StatusDigits(s, NavKindOf(1)), "0030");
  s.lakeNoMainpathSeen = 1;
  EXPECT_EQ(StatusDigits(s, NavKindOf(4)), "0020");
  s.startBlocked = 1;
  s.noNextReach = 1;
  EXPECT_EQ(StatusDigits(s, NavKindOf(3)), "1010");
}

// Runs of the program itself in a work folder holding one reach A.
class ResultFailures : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteAll(dir_.path() / "rchdata.txt", "1,A,20080101,1,1000,11\n");
    WriteAll(dir_.path() / "flowdata.txt", "");
    WriteAll(dir_.path() / "secdata.txt", "");
  }
  int Run(const std::string& fields, std::string* err = nullptr, const std::string& work = "") {
    const std::string line = fields.substr(0, fields.find("{W}")) + (work.empty() ? dir_.work() : work) +
                             fields.substr(fields.find("{W}") + 3);
    return testing::RunProgram(RILL_RILLMARK_EXE, line, dir_.path(), err);
  }
  std::string Path(const std::string& name) const { return dir_.work() + "./" + name; }
  ScratchDir dir_;
};

const std::string kRequest = "1,A,50,A,0,D,0,M,1,{W},out.csv,./,0,0";

TEST_F(ResultFailures, ACsvThatCannotBeCreatedIsReportedAndLeavesNoStatus) {
  fs::create_directory(dir_.path() / "out.csv");
  WriteAll(dir_.path() / "ccode.txt", "0000\n");  // left by an earlier run
  std::string err;
  EXPECT_EQ(Run(kRequest, &err), 3);
  const std::string line = "The output file " + Path("out.csv") + " could not be written\n";
  const std::string log = ReadAll(dir_.path() / "message.out");
  EXPECT_NE(log.find("Navigation Complete\n" + line), std::string::npos) << log;
  EXPECT_NE(err.find(line), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir_.path() / "ccode.txt"));
}

TEST_F(ResultFailures, AFullDeviceOrAFolderInTheWayIsAFailureToo) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  // The CSV on a full device: no status beside it, not even an old one.
  fs::create_symlink("/dev/full", dir_.path() / "out.csv");
  WriteAll(dir_.path() / "ccode.txt", "0000\n");
  std::string err;
  EXPECT_EQ(Run(kRequest, &err), 3);
  const std::string csvLine = "The output file " + Path("out.csv") + " could not be written\n";
  EXPECT_NE(ReadAll(dir_.path() / "message.out").find(csvLine), std::string::npos);
  EXPECT_NE(err.find(csvLine), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(dir_.path() / "ccode.txt"));

  // ccode.txt that cannot be created (a folder that is not empty stands there).
  fs::remove(dir_.path() / "out.csv");
  fs::create_directory(dir_.path() / "ccode.txt");
  WriteAll(dir_.path() / "ccode.txt" / "keep", "x");
  EXPECT_EQ(Run(kRequest, &err), 3);
  const std::string codeLine = "The output file " + Path("ccode.txt") + " could not be written\n";
  EXPECT_NE(ReadAll(dir_.path() / "message.out").find("Navigation Complete\n" + codeLine), std::string::npos);
  EXPECT_NE(err.find(codeLine), std::string::npos) << err;
  EXPECT_NE(ReadAll(dir_.path() / "out.csv").find("\"A\",         1,"), std::string::npos);
  fs::remove_all(dir_.path() / "ccode.txt");

  // The run log on a full device.
  fs::remove(dir_.path() / "message.out");
  fs::create_symlink("/dev/full", dir_.path() / "message.out");
  EXPECT_EQ(Run(kRequest, &err), 3);
  EXPECT_NE(err.find(Path("message.out")), std::string::npos) << err;
}

TEST_F(ResultFailures, RunsThatEndBeforeNavigating) {
  // message.out cannot be created: the path on standard error, nothing written.
  std::string err;
  EXPECT_EQ(Run(kRequest, &err, dir_.work() + "missing/"), 3);
  EXPECT_NE(err.find("The work folder " + dir_.work() + "missing/ does not exist"), std::string::npos) << err;

  // An unusable command line: status 2 before any file is touched.
  EXPECT_EQ(testing::RunProgram(RILL_RILLMARK_EXE, "", dir_.path(), &err), 2);
  EXPECT_NE(err.find("WholeReachStartMode"), std::string::npos) << err;
  EXPECT_EQ(Run("1,A,50,A,0,D,0,M,1,{W},MESSAGE.out,./,0,0", &err), 2);
  EXPECT_FALSE(fs::exists(dir_.path() / "message.out"));

  // A NavType outside 1..5: header and dump only, no result files, status 0.
  EXPECT_EQ(Run("6,A,50,A,0,D,0,M,1,{W},out.csv,./,0,0", &err), 0);
  const std::string log = ReadAll(dir_.path() / "message.out");
  EXPECT_EQ(log.substr(0, 11), "NavType: 6\n");
  const std::string tail = "Subscripts range from 0 to 0\n";
  EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
  EXPECT_FALSE(fs::exists(dir_.path() / "out.csv"));
  EXPECT_FALSE(fs::exists(dir_.path() / "ccode.txt"));

  // A table that cannot be opened: status 1, no result files.
  fs::remove(dir_.path() / "secdata.txt");
  EXPECT_EQ(Run(kRequest, &err), 1);
  const std::string missing = ReadAll(dir_.path() / "message.out");
  const std::string end =
      "The input file " + Path("secdata.txt") + " was not opened\nThe file secdata.txt was not opened.\n";
  ASSERT_GE(missing.size(), end.size());
  EXPECT_EQ(missing.substr(missing.size() - end.size()), end);
  EXPECT_FALSE(fs::exists(dir_.path() / "out.csv"));
}

}  // namespace
}  // namespace rill
