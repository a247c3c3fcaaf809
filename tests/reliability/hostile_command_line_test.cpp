// Command lines a caller can get wrong: missing, short, only separators,
// too long, paths at the limit, OutFile naming a file of the run, numbers
// that are no navigation type. A refused line must leave the work folder
// exactly as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "reliability_support.h"

namespace rill::reliability {
namespace {

const std::vector<std::string> kTablesOnly = {"flowdata.txt", "rchdata.txt", "secdata.txt"};

// The usage message names the 14 fields in their order.
void ExpectUsage(const RunResult& run, std::size_t found) {
  EXPECT_EQ(run.exitStatus, 2) << run.Describe();
  EXPECT_NE(run.err.find(std::to_string(found)), std::string::npos) << run.err;
  std::size_t at = 0;
  for (const char* name :
       {"NavType", "StartReach", "StartMeasure", "EndReach", "EndMeasure", "Direction", "Distance", "DistanceUnits",
        "TraversalOrder", "WorkPath", "OutFile", "FilePrefix", "WholeReachStartMode", "EndAtCUBoundary"}) {
    at = run.err.find(name, at);
    ASSERT_NE(at, std::string::npos) << name << " missing or out of order in: " << run.err;
    at += std::string(name).size();
  }
}

class HostileCommandLine : public ::testing::Test {
 protected:
  TempFolder work;
  void SetUp() override { WriteTables(work.path(), kChainSections, kChainFlows, kChainReaches); }
  Request Base() const {
    Request r;
    r.workPath = work.path();
    return r;
  }
  void ExpectUntouched() const {
    EXPECT_EQ(Entries(work.path()), kTablesOnly);
    EXPECT_EQ(ReadFile(work / "rchdata.txt"), std::string(kChainReaches));
    EXPECT_EQ(ReadFile(work / "flowdata.txt"), std::string(kChainFlows));
    EXPECT_EQ(ReadFile(work / "secdata.txt"), std::string(kChainSections));
  }
};

TEST_F(HostileCommandLine, NoArgumentGetsTheUsageAndWritesNothing) {
  TempFolder cwd;
  RunResult run = RunRillmark(std::vector<std::string>{}, InFolder(cwd.path()));
  ExpectUsage(run, 0);
  EXPECT_TRUE(Entries(cwd.path()).empty());
}

TEST_F(HostileCommandLine, FewerThan14FieldsAreRefusedWithTheirCount) {
  const std::string w = work.path();
  struct Case {
    std::string line;
    std::size_t found;
  };
  const std::vector<Case> cases = {
      {"", 0},
      {",,,,,,,,,,,,,,,,,,,,", 0},
      {" ", 1},
      {"1", 1},
      {"1,01010001000001", 2},
      {"1,01010001000001,100,01010001000003,0,D,0,M,1," + w + ",out.csv,./,0", 13},
      {"1,01010001000001,100,01010001000003,0,D,0,M,1," + w + ",out.csv,./,0,", 13},
      {"1,01010001000001,,01010001000003,0,D,0,M,1," + w + ",out.csv,./,0,0", 13},
      {",,1,,01010001000001,,,100,,01010001000003,,0,,D,,0,,M,,1,," + w + ",,out.csv,,./,,0,,", 13},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ExpectUsage(RunRillmark(c.line), c.found);
    ExpectUntouched();
  }
}

TEST_F(HostileCommandLine, ALineOf999CharactersRunsAndOneOf1000IsRefused) {
  Request request = Base();
  request.traversal = "";
  const std::size_t rest = request.Line().size();
  request.traversal = std::string(999 - rest, 't');
  ASSERT_EQ(request.Line().size(), 999u);
  RunResult run = RunRillmark(request.Line());
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_EQ(ReadFile(work / "out.csv"), ChainDownCsv());

  TempFolder other;
  WriteTables(other.path(), kChainSections, kChainFlows, kChainReaches);
  request.workPath = other.path();
  request.traversal = "";
  request.traversal = std::string(1000 - request.Line().size(), 't');
  ASSERT_EQ(request.Line().size(), 1000u);
  run = RunRillmark(request.Line());
  EXPECT_EQ(run.exitStatus, 2) << run.Describe();
  EXPECT_NE(run.err.find("1000"), std::string::npos) << run.err;
  EXPECT_EQ(Entries(other.path()), kTablesOnly);
}

TEST_F(HostileCommandLine, ArgumentsAreJoinedWithSingleBlanks) {
  const std::string line = Base().Line();
  const std::size_t cut = line.find(",M,1,") + 3;  // where TraversalOrder begins
  RunResult run = RunRillmark(std::vector<std::string>{line.substr(0, cut) + "a", "b" + line.substr(cut + 1)});
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_NE(ReadFile(work / "message.out").value_or("").find("\nTraversalOrder: a b\n"), std::string::npos);
  EXPECT_EQ(ReadFile(work / "out.csv"), ChainDownCsv());
}

TEST_F(HostileCommandLine, AnOutFileNamingAFileOfTheRunIsRefusedInAnyLetterCase) {
  for (const char* name : {"message.out", "MESSAGE.OUT", "Message.Out", "ccode.txt", "CcOdE.TxT", "rchdata.txt",
                           "RCHDATA.TXT", "flowdata.txt", "FlowData.txt", "secdata.txt", "secDATA.txt"}) {
    SCOPED_TRACE(name);
    Request request = Base();
    request.outFile = name;
    RunResult run = RunRillmark(request.Line());
    EXPECT_EQ(run.exitStatus, 2) << run.Describe();
    EXPECT_FALSE(run.err.empty());
    ExpectUntouched();
  }
}

// A folder inside `root` whose path is exactly `length` characters long,
// with its trailing separator.
std::string FolderOfLength(const std::string& root, std::size_t length, char fill) {
  std::string path = root;
  while (path.size() < length) {
    std::size_t part = std::min<std::size_t>(200, length - path.size() - 1);
    if (part == 0) {
      // One character left: it cannot be a name and a separator; widen the last name.
      path.insert(path.size() - 1, 1, fill);
      continue;
    }
    path += std::string(part, fill) + "/";
  }
  std::filesystem::create_directories(path);
  return path;
}

TEST_F(HostileCommandLine, PathsOf449CharactersAreUsedAndLongerOnesRefused) {
  // The longest path of a run with the prefix "./" is WorkPath./flowdata.txt.
  const std::size_t extra = std::string("./flowdata.txt").size();
  {
    const std::string folder = FolderOfLength(work.path(), 449 - extra, 'a');
    WriteTables(folder, kChainSections, kChainFlows, kChainReaches);
    Request request = Base();
    request.workPath = folder;
    RunResult run = RunRillmark(request.Line());
    ASSERT_EQ(run.exitStatus, 0) << run.Describe();
    EXPECT_EQ(ReadFile(folder + "out.csv"), ChainDownCsv());
    EXPECT_EQ(ReadFile(folder + "ccode.txt"), "0000\n");
  }
  {
    const std::string folder = FolderOfLength(work.path(), 450 - extra, 'b');
    WriteTables(folder, kChainSections, kChainFlows, kChainReaches);
    Request request = Base();
    request.workPath = folder;
    RunResult run = RunRillmark(request.Line());
    EXPECT_EQ(run.exitStatus, 2) << run.Describe();
    EXPECT_EQ(Entries(folder), kTablesOnly);
  }
  // The result file's own path counts too.
  for (std::size_t length : {449u, 450u}) {
    SCOPED_TRACE(length);
    const std::string folder = FolderOfLength(work.path(), 449 - 2 - 200, length == 449 ? 'c' : 'd');
    WriteTables(folder, kChainSections, kChainFlows, kChainReaches);
    Request request = Base();
    request.workPath = folder;
    request.outFile = std::string(200 - 4 + (length - 449), 'o') + ".csv";
    ASSERT_EQ((folder + "./" + request.outFile).size(), length);
    RunResult run = RunRillmark(request.Line());
    if (length == 449) {
      ASSERT_EQ(run.exitStatus, 0) << run.Describe();
      EXPECT_EQ(ReadFile(folder + request.outFile), ChainDownCsv());
    } else {
      EXPECT_EQ(run.exitStatus, 2) << run.Describe();
      EXPECT_EQ(Entries(folder), kTablesOnly);
    }
  }
}

TEST_F(HostileCommandLine, ANavTypeOutside1To5LoadsTheTablesAndWritesNoResult) {
  struct Case {
    const char* field;
    const char* read;
  };
  for (const Case c :
       {Case{"0", "0"}, Case{"6", "6"}, Case{"x", "0"}, Case{"-1", "-1"}, Case{"4294967297", "2147483647"}}) {
    SCOPED_TRACE(c.field);
    TempFolder folder;
    WriteTables(folder.path(), kChainSections, kChainFlows, kChainReaches);
    Request request;
    request.workPath = folder.path();
    request.navType = c.field;
    RunResult run = RunRillmark(request.Line());
    ASSERT_EQ(run.exitStatus, 0) << run.Describe();
    const std::string log = ReadFile(folder / "message.out").value_or("");
    EXPECT_EQ(log.rfind("NavType: " + std::string(c.read) + "\n", 0), 0u) << log.substr(0, 200);
    const std::string tail =
        "Successfully read 3 records from " + folder.path() + "./rchdata.txt file\n" + "Subscripts range from 0 to 2\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
    EXPECT_FALSE(Exists(folder / "out.csv"));
    EXPECT_FALSE(Exists(folder / "ccode.txt"));
  }
}

TEST_F(HostileCommandLine, NumbersOutOfRangeOrNoNumbersAreReadAsTheCLibraryReadsThem) {
  struct Case {
    const char* name;
    Request request;
    std::string csv;
    const char* code;
    const char* headerLines;
  };
  Request infinite = Base();
  infinite.navType = "3";
  infinite.distance = "1e999";  // no limit is ever met: the walk ends for lack of a way on
  Request nan = Base();
  nan.startMeasure = "nan";  // no measure: the start reach is passed whole
  Request clamped = Base();
  clamped.wholeReach = "99999999999";  // 2147483647, whose low 16 bits read -1
  clamped.endAtBoundary = "65536";     // low 16 bits 0: every record is kept
  for (const Case& c : {Case{"infinite distance", infinite, ChainDownCsv(), "1000\n", "\nDistance:        inf\n"},
                        Case{"NaN start measure", nan, ChainDownCsv(), "0000\n", "\nStartMeasure:        nan\n"},
                        Case{"16-bit fields", clamped, ChainDownCsv(), "0000\n",
                             "\nWhole Reach Start Mode: -1\nEnd at CU Boundary: 0\n"}}) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteTables(folder.path(), kChainSections, kChainFlows, kChainReaches);
    Request request = c.request;
    request.workPath = folder.path();
    RunResult run = RunRillmark(request.Line());
    ASSERT_EQ(run.exitStatus, 0) << run.Describe();
    EXPECT_EQ(ReadFile(folder / "out.csv"), c.csv);
    EXPECT_EQ(ReadFile(folder / "ccode.txt"), c.code);
    EXPECT_NE(ReadFile(folder / "message.out").value_or("").find(c.headerLines), std::string::npos);
  }
}

TEST_F(HostileCommandLine, BlanksAndPercentSignsInFieldsAreTakenVerbatim) {
  // A folder name that would be a format if it were used as one.
  const std::string folder = work / "a b %s%n%99999999d%x/";
  std::filesystem::create_directory(folder);
  WriteTables(folder, kChainSections, kChainFlows, kChainReaches);
  Request request = Base();
  request.workPath = folder;
  request.traversal = "%s %n";
  RunResult run = RunRillmark(request.Line());
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_EQ(ReadFile(folder + "out.csv"), ChainDownCsv());
  const std::string log = ReadFile(folder + "message.out").value_or("");
  EXPECT_NE(log.find("\nTraversalOrder: %s %n\nWorkPath: " + folder + "\n"), std::string::npos) << log.substr(0, 600);

  request.startReach = "%s%n%d";
  run = RunRillmark(request.Line());
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_NE(ReadFile(folder + "message.out").value_or("").find("Start reach %s%n%d is not in the reach table\n"),
            std::string::npos);
  EXPECT_EQ(ReadFile(folder + "ccode.txt"), "0010\n");
}

}  // namespace
}  // namespace rill::reliability
