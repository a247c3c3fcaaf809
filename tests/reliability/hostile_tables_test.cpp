// Tables that other programs got wrong: missing, empty, folders, garbage,
// zero bytes, foreign line ends, lines and values beyond their limits,
// loops in the flow table and reaches that exist nowhere. Every run goes
// through the built navigator and must end by itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "reliability_support.h"

namespace rill::reliability {
namespace {

class HostileTables : public ::testing::Test {
 protected:
  TempFolder work;

  std::string Log() const { return ReadFile(work / "message.out").value_or("<no message.out>"); }
  std::string Csv() const { return ReadFile(work / "out.csv").value_or("<no out.csv>"); }
  std::string Code() const { return ReadFile(work / "ccode.txt").value_or("<no ccode.txt>"); }
  std::string Path(const char* name) const { return work / ("./" + std::string(name)); }

  RunResult Run(Request request = {}) {
    request.workPath = work.path();
    return RunRillmark(request.Line());
  }

  // A finished run that wrote exactly these results.
  void ExpectResults(const RunResult& run, const std::string& csv, const std::string& code) {
    ASSERT_EQ(run.exitStatus, 0) << run.Describe();
    EXPECT_EQ(Csv(), csv);
    EXPECT_EQ(Code(), code);
  }
};

// --- Tables that cannot be read ---------------------------------------------

TEST_F(HostileTables, MissingTablesAreNamedInLoadOrderAndNoResultIsWritten) {
  struct Case {
    bool sections, flows, reaches;
    const char* named;
  };
  for (const Case c : {Case{false, true, true, "secdata.txt"}, Case{true, false, true, "flowdata.txt"},
                       Case{true, true, false, "rchdata.txt"}, Case{false, false, false, "secdata.txt"}}) {
    SCOPED_TRACE(c.named);
    TempFolder folder;
    WriteTables(folder.path(), c.sections ? std::optional(kChainSections) : std::nullopt,
                c.flows ? std::optional(kChainFlows) : std::nullopt,
                c.reaches ? std::optional(kChainReaches) : std::nullopt);
    Request request;
    request.workPath = folder.path();
    RunResult run = RunRillmark(request.Line());
    EXPECT_EQ(run.exitStatus, 1) << run.Describe();
    const std::string log = ReadFile(folder / "message.out").value_or("");
    EXPECT_NE(log.find("The input file " + folder.path() + "./" + c.named + " was not opened\n"), std::string::npos)
        << log;
    EXPECT_NE(log.find("The file " + std::string(c.named) + " was not opened.\n"), std::string::npos) << log;
    // The load stops at the first table it cannot read.
    for (const char* other : {"secdata.txt", "flowdata.txt", "rchdata.txt"})
      if (std::string(other) != c.named) {
        EXPECT_EQ(log.find(std::string(other) + " was not opened"), std::string::npos) << other;
      }
    EXPECT_FALSE(Exists(folder / "out.csv"));
    EXPECT_FALSE(Exists(folder / "ccode.txt"));
  }
}

TEST_F(HostileTables, AFolderWhereATableShouldBeIsATableThatCannotBeOpened) {
  for (const char* name : {"secdata.txt", "flowdata.txt", "rchdata.txt"}) {
    SCOPED_TRACE(name);
    TempFolder folder;
    WriteTables(folder.path(), kChainSections, kChainFlows, kChainReaches);
    std::filesystem::remove(folder / name);
    std::filesystem::create_directory(folder / name);
    Request request;
    request.workPath = folder.path();
    RunResult run = RunRillmark(request.Line());
    EXPECT_EQ(run.exitStatus, 1) << run.Describe();
    const std::string log = ReadFile(folder / "message.out").value_or("");
    EXPECT_NE(log.find("The file " + std::string(name) + " was not opened.\n"), std::string::npos) << log;
    EXPECT_FALSE(Exists(folder / "out.csv"));
    EXPECT_FALSE(Exists(folder / "ccode.txt"));
  }
}

// --- Tables with nothing usable in them -------------------------------------

TEST_F(HostileTables, EmptyTablesLoadNoRecordAndTheStartIsBlocked) {
  WriteTables(work.path(), "", "", "");
  RunResult run = Run();
  ExpectResults(run, "", "0010\n");
  const std::string log = Log();
  for (const char* name : {"secdata.txt", "flowdata.txt", "rchdata.txt"})
    EXPECT_NE(log.find("Successfully read 0 records from " + Path(name) + " file\nSubscripts range from 0 to -1\n"),
              std::string::npos)
        << name;
  EXPECT_NE(log.find("Start reach 01010001000001 is not in the reach table\n"), std::string::npos);
}

std::string Garbage(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

TEST_F(HostileTables, BinaryGarbageIsSkippedLineByLine) {
  // Garbage alone: nothing is a reach, so the start is blocked.
  WriteTables(work.path(), Garbage(40000, 1), Garbage(40000, 2), Garbage(40000, 3));
  ExpectResults(Run(), "", "0010\n");

  // Garbage after the real rows changes nothing: the first row with a key wins.
  TempFolder mixed;
  WriteTables(mixed.path(), std::string(kChainSections) + Garbage(40000, 4),
              std::string(kChainFlows) + Garbage(40000, 5), std::string(kChainReaches) + Garbage(40000, 6));
  Request request;
  request.workPath = mixed.path();
  RunResult run = RunRillmark(request.Line());
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_EQ(ReadFile(mixed / "out.csv"), ChainDownCsv());
  EXPECT_EQ(ReadFile(mixed / "ccode.txt"), "0000\n");
}

TEST_F(HostileTables, AZeroByteEndsTheTextOfItsLine) {
  using namespace std::string_literals;
  const std::string reaches =
      "\0\n"s  // line 1: no field at all
      "102,0101\0"
      "0001000002,20200101,1,2000,2\n"s                   // line 2: cut after two fields
      + std::string(kChainReaches)                        // lines 3 to 5
      + "104,01010001000004,20200101,1,4000,4\0junk\n"s;  // complete before the zero
  WriteTables(work.path(), kChainSections, kChainFlows, reaches);
  ExpectResults(Run(), ChainDownCsv(), "0000\n");
  const std::string log = Log();
  const std::string path = Path("rchdata.txt");
  EXPECT_NE(log.find("Line 1 of " + path + " was skipped: it has 0 of the 6 fields\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Line 2 of " + path + " was skipped: it has 2 of the 6 fields\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Successfully read 4 records from " + path + " file\n"), std::string::npos) << log;
}

// --- Line ends ----------------------------------------------------------------

std::string WithLineEnds(std::string_view text, std::string_view end) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += end;
    else
      out.push_back(c);
  }
  return out;
}

TEST_F(HostileTables, CrLfLineEndsReadAsLineFeeds) {
  WriteTables(work.path(), WithLineEnds(kChainSections, "\r\n"), WithLineEnds(kChainFlows, "\r\n"),
              WithLineEnds(kChainReaches, "\r\n"));
  ExpectResults(Run(), ChainDownCsv(), "0000\n");
  EXPECT_EQ(Log().find("was skipped"), std::string::npos);
}

TEST_F(HostileTables, ALastLineWithoutLineFeedIsRead) {
  auto unended = [](std::string_view text) { return std::string(text.substr(0, text.size() - 1)); };
  WriteTables(work.path(), unended(kChainSections), unended(kChainFlows), unended(kChainReaches));
  ExpectResults(Run(), ChainDownCsv(), "0000\n");
  for (const char* name : {"secdata.txt", "flowdata.txt", "rchdata.txt"})
    EXPECT_NE(Log().find("Successfully read " + std::string(name[0] == 'f' ? "2" : "3") + " records from " +
                         Path(name) + " file\n"),
              std::string::npos)
        << name;
}

TEST_F(HostileTables, CarriageReturnsAloneEndNoLine) {
  // Each table is one line: its first record, with the rest of the text
  // trailing its last field. Reach 102 is then unknown and the walk stops.
  WriteTables(work.path(), WithLineEnds(kChainSections, "\r"), WithLineEnds(kChainFlows, "\r"),
              WithLineEnds(kChainReaches, "\r"));
  ExpectResults(Run(), std::string(kCsvHeader) + std::string(kChain101Down), "0000\n");
  const std::string log = Log();
  for (const char* name : {"secdata.txt", "flowdata.txt", "rchdata.txt"})
    EXPECT_NE(log.find("Successfully read 1 records from " + Path(name) + " file\n"), std::string::npos) << name;

  // Past 199 characters the single line is skipped whole.
  TempFolder longer;
  std::string reaches;
  for (int i = 0; i < 3; ++i) reaches += kChainReaches;
  WriteTables(longer.path(), kChainSections, kChainFlows, WithLineEnds(reaches, "\r"));
  Request request;
  request.workPath = longer.path();
  RunResult run = RunRillmark(request.Line());
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_EQ(ReadFile(longer / "ccode.txt"), "0010\n");
  EXPECT_NE(ReadFile(longer / "message.out")
                .value_or("")
                .find("Line 1 of " + longer.path() + "./rchdata.txt was skipped: it is longer than 199 characters\n"),
            std::string::npos);
}

// --- Lengths and values at their limits -------------------------------------

std::string Padded(std::string line, std::size_t length) {
  line.append(length - line.size(), ' ');  // the blanks trail Duu_id, which reads them as nothing
  return line;
}

TEST_F(HostileTables, LinesUpTo199CharactersAreRead) {
  struct Case {
    std::size_t length;
    const char* end;
    bool read;
  };
  for (const Case c : {Case{199, "\n", true}, Case{200, "\n", false}, Case{10000, "\n", false}, Case{198, "\r\n", true},
                       Case{199, "\r\n", false}}) {
    SCOPED_TRACE(testing::Message() << c.length << (c.end[0] == '\r' ? " + CR" : ""));
    TempFolder folder;
    const std::string reaches = "101,01010001000001,20200101,1,1000,1\n" +
                                Padded("102,01010001000002,20200101,1,2000,2", c.length) + c.end +
                                "103,01010001000003,20200101,1,3000,3\n";
    WriteTables(folder.path(), kChainSections, kChainFlows, reaches);
    Request request;
    request.workPath = folder.path();
    RunResult run = RunRillmark(request.Line());
    ASSERT_EQ(run.exitStatus, 0) << run.Describe();
    const std::string skipped =
        "Line 2 of " + folder.path() + "./rchdata.txt was skipped: it is longer than 199 characters\n";
    const std::string log = ReadFile(folder / "message.out").value_or("");
    if (c.read) {
      EXPECT_EQ(ReadFile(folder / "out.csv"), ChainDownCsv());
      EXPECT_EQ(log.find("was skipped"), std::string::npos);
    } else {
      // Without reach 102 the walk ends after 101.
      EXPECT_EQ(ReadFile(folder / "out.csv"), std::string(kCsvHeader) + std::string(kChain101Down));
      EXPECT_NE(log.find(skipped), std::string::npos) << log.substr(0, 2000);
    }
  }
}

TEST_F(HostileTables, ReachCodesOf15AndDatesOf9CharactersAreSkipped) {
  const std::string reaches =
      "101,01010001000001,20200101,1,1000,1\n"
      "102,010100010000021,20200101,1,2000,2\n"  // 15 characters
      "102,01010001000002,202001011,1,2000,2\n"  // date of 9
      "102,01010001000002,20200101,1,2000,2\n"   // 14 and 8: read
      "103,01010001000003,20200101,1,3000,3\n";
  WriteTables(work.path(), kChainSections, kChainFlows, reaches);
  ExpectResults(Run(), ChainDownCsv(), "0000\n");
  const std::string log = Log();
  const std::string path = Path("rchdata.txt");
  EXPECT_NE(log.find("Line 2 of " + path + " was skipped: its Rch_code is longer than 14 characters\n"),
            std::string::npos);
  EXPECT_NE(log.find("Line 3 of " + path + " was skipped: its Rch_date is longer than 8 characters\n"),
            std::string::npos);
  EXPECT_NE(log.find("Successfully read 3 records from " + path + " file\n"), std::string::npos);

  // A start code of 15 characters names no reach.
  TempFolder other;
  WriteTables(other.path(), kChainSections, kChainFlows, kChainReaches);
  Request request;
  request.workPath = other.path();
  request.startReach = "010100010000011";
  RunResult run = RunRillmark(request.Line());
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_EQ(ReadFile(other / "ccode.txt"), "0010\n");
  EXPECT_EQ(ReadFile(other / "out.csv"), "");
  EXPECT_NE(
      ReadFile(other / "message.out").value_or("").find("Start reach 010100010000011 is not in the reach table\n"),
      std::string::npos);
}

TEST_F(HostileTables, NumbersBeyond32BitsAreClampedAndDistancesStillAddUp) {
  // 101 claims 99999999999 meters: it counts as 2147483647, and the
  // distances after it go past the 32-bit range without wrapping.
  const std::string reaches =
      "101,01010001000001,20200101,1,99999999999,1\n"
      "102,01010001000002,20200101,1,2000,2\n"
      "103,01010001000003,20200101,1,3000,3\n"
      "99999999999,01010001000009,20200101,-99999999999,1,1\n";
  WriteTables(work.path(), kChainSections, kChainFlows, reaches);
  const std::string expected =
      std::string(kCsvHeader) +
      "\"01010001000001\",       101,\"20200101\",1,   100.000,     0.000,     2147483647.0000,2147483647.0000\n"
      "\"01010001000002\",       102,\"20200101\",2,   100.000,     0.000,     2147485647.0000, 2000.0000\n"
      "\"01010001000003\",       103,\"20200101\",3,   100.000,     0.000,     2147488647.0000, 3000.0000\n";
  ExpectResults(Run(), expected, "0000\n");
  const std::string log = Log();
  EXPECT_NE(log.find("Com_id: 2147483647, Rch_code: 01010001000009, Rch_date: 20200101, Level: -2147483648,"),
            std::string::npos);
}

// --- Loops in the flow table --------------------------------------------------

struct LoopCase {
  const char* name;
  const char* flows;
  Request request;
  std::string csv;
  const char* code;  // nullptr: only four digits are required
};

std::string Up(const char* code, int comId, int duu, const char* distance, const char* length) {
  char line[160];
  std::snprintf(line, sizeof line, "\"%s\",%10d,\"20200101\",%d,     0.000,   100.000,%20s,%10s\n", code, comId, duu,
                distance, length);
  return line;
}

Request Req(const char* type, const char* start, const char* measure, const char* direction,
            const char* distance = "0") {
  Request r;
  r.navType = type;
  r.startReach = start;
  r.startMeasure = measure;
  r.direction = direction;
  r.distance = distance;
  return r;
}

TEST_F(HostileTables, LoopsInTheFlowTableEndAndOutputEachReachOnce) {
  const char* kTwoCycle = "1,101,102,0,709,0\n2,102,101,0,709,0\n";
  const char* kSelfLoop = "1,101,101,0,709,0\n";
  const char* kThreeCycle = "1,101,102,0,709,0\n2,102,103,0,709,0\n3,103,101,0,709,0\n";
  const char* c1 = "01010001000001";
  const char* c3 = "01010001000003";
  const std::string header(kCsvHeader);
  const std::string down101(kChain101Down), down102(kChain102Down);
  Request toUnreachable = Req("5", c1, "100", "D");
  toUnreachable.endReach = c3;
  const std::vector<LoopCase> cases = {
      {"two-cycle, main path down", kTwoCycle, Req("1", c1, "100", "D"), header + down101 + down102, "0000\n"},
      {"two-cycle, main path up", kTwoCycle, Req("1", c1, "0", "U"),
       header + Up(c1, 101, 1, "1000.0000", "1000.0000") + Up("01010001000002", 102, 2, "3000.0000", "2000.0000"),
       "0000\n"},
      {"two-cycle, network down", kTwoCycle, Req("2", c1, "100", "D"), header + down101 + down102, "0000\n"},
      {"two-cycle, network up", kTwoCycle, Req("2", c1, "0", "U"),
       header + Up(c1, 101, 1, "1000.0000", "1000.0000") + Up("01010001000002", 102, 2, "3000.0000", "2000.0000"),
       "0000\n"},
      {"two-cycle, point to point that never meets its end", kTwoCycle, toUnreachable, header + down101 + down102,
       nullptr},
      {"self-loop, main path down", kSelfLoop, Req("1", c1, "100", "D"), header + down101, "0000\n"},
      {"self-loop, network down", kSelfLoop, Req("2", c1, "100", "D"), header + down101, "0000\n"},
      {"self-loop, network up", kSelfLoop, Req("2", c1, "0", "U"), header + Up(c1, 101, 1, "1000.0000", "1000.0000"),
       "0000\n"},
      {"three-cycle, limited main path down", kThreeCycle, Req("3", c1, "100", "D", "2500"),
       header + down101 +
           "\"01010001000002\",       102,\"20200101\",2,   100.000,    25.000,           2500.0000, 1500.0000\n",
       "0000\n"},
      {"three-cycle, limited network up", kThreeCycle, Req("4", c1, "0", "U", "1000000"),
       header + Up(c1, 101, 1, "1000.0000", "1000.0000") + Up(c3, 103, 3, "4000.0000", "3000.0000") +
           Up("01010001000002", 102, 2, "6000.0000", "2000.0000"),
       nullptr},
  };
  for (const LoopCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    WriteTables(folder.path(), kChainSections, c.flows, kChainReaches);
    Request request = c.request;
    request.workPath = folder.path();
    RunResult run = RunRillmark(request.Line(), Within(std::chrono::seconds(20)));
    ASSERT_EQ(run.exitStatus, 0) << run.Describe();
    EXPECT_EQ(ReadFile(folder / "out.csv"), c.csv);
    const std::string code = ReadFile(folder / "ccode.txt").value_or("");
    if (c.code != nullptr)
      EXPECT_EQ(code, c.code);
    else
      EXPECT_TRUE(code.size() == 5 && code[3] == '0' && code[4] == '\n') << code;
  }
}

TEST_F(HostileTables, ACircleOfSectionsWithoutMeasuresEndsAfterAsManyPiecesAsSections) {
  // A (5) flows into the lake reach L (1). Inside L the sections S1 and S2
  // lead from node 1 to 2 and back, and their NaN measures never match a
  // piece already recorded: the chain ends after three pieces, one per
  // section of L. S0 (150 to 200) makes L a lake reach.
  WriteTables(work.path(),
              "0,100,9,1,5,100\n"
              "150,200,7,8,1,10\n"
              "nan,nan,1,2,1,20\n"
              "nan,nan,2,1,1,30\n",
              "1,5,1,0,709,0\n", "5,A,20200101,1,100,1\n1,L,20200101,1,60,2\n");
  Request request;
  request.startReach = "A";
  RunResult run = Run(request);
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  const std::string csv = Csv();
  std::size_t pieces = 0;
  for (std::size_t at = csv.find("\"L\",         1,"); at != std::string::npos;
       at = csv.find("\"L\",         1,", at + 1))
    ++pieces;
  EXPECT_EQ(pieces, 3u) << csv;
  EXPECT_EQ(Code(), "0000\n");
  EXPECT_NE(Log().find("Reach 5 flows into the lake reach with no mainpath 1\n"), std::string::npos);
}

// --- Reaches that exist nowhere -----------------------------------------------

TEST_F(HostileTables, FlowRowsToUnknownReachesAreNotFollowed) {
  // 101 leaves first towards 999, which is no reach; 888 flows into 101.
  const char* flows = "1,101,999,0,709,0\n2,101,102,0,709,1\n3,102,103,0,709,0\n4,888,101,0,709,0\n";
  const char* sections = "0,100,11,12,101,1000\n0,100,12,13,102,2000\n0,100,13,14,103,3000\n0,100,9,11,999,500\n";
  struct Case {
    Request request;
    std::string csv;
  };
  const std::string header(kCsvHeader);
  for (const Case& c :
       {Case{Req("1", "01010001000001", "100", "D"), ChainDownCsv()},
        Case{Req("2", "01010001000001", "100", "D"), ChainDownCsv()},
        Case{Req("1", "01010001000003", "0", "U"), header + Up("01010001000003", 103, 3, "3000.0000", "3000.0000") +
                                                       Up("01010001000002", 102, 2, "5000.0000", "2000.0000") +
                                                       Up("01010001000001", 101, 1, "6000.0000", "1000.0000")}}) {
    SCOPED_TRACE(c.request.navType + c.request.direction);
    TempFolder folder;
    WriteTables(folder.path(), sections, flows, kChainReaches);
    Request request = c.request;
    request.workPath = folder.path();
    RunResult run = RunRillmark(request.Line());
    ASSERT_EQ(run.exitStatus, 0) << run.Describe();
    EXPECT_EQ(ReadFile(folder / "out.csv"), c.csv);
    EXPECT_EQ(ReadFile(folder / "ccode.txt"), "0000\n");
  }
}

TEST_F(HostileTables, UnknownStartEndOrDirectionBlockTheStartWithAReason) {
  WriteTables(work.path(), kChainSections, kChainFlows, kChainReaches);
  Request request;
  request.navType = "5";
  request.startReach = "01010001000009";
  request.endReach = "X";
  request.direction = "u";
  ExpectResults(Run(request), "", "0010\n");
  const std::string log = Log();
  const std::size_t start = log.find("Start reach 01010001000009 is not in the reach table\n");
  const std::size_t end = log.find("End reach X is not in the reach table\n");
  const std::size_t direction = log.find("Direction u is neither U nor D\n");
  const std::size_t complete = log.find("Navigation Complete\n");
  ASSERT_NE(start, std::string::npos) << log;
  ASSERT_NE(end, std::string::npos) << log;
  ASSERT_NE(direction, std::string::npos) << log;
  EXPECT_TRUE(start < end && end < direction && direction < complete) << log;
  // The run is not restarted: the failed start found no way on.
  EXPECT_EQ(log.find("Restarting navigation"), std::string::npos);
}

TEST_F(HostileTables, SectionsAndJunctionsOfUnknownReachesDoNotStopAWalk) {
  // 777 has sections but no reach row and joins 102 inside; 102 and 103
  // name sections and flows of reaches that are missing from rchdata.
  const std::string sections = std::string(kChainSections) + "0,50,70,71,777,400\n50,100,71,12,777,400\n";
  const std::string flows = std::string(kChainFlows) + "5,777,102,10,709,1\n6,102,555,0,709,1\n7,556,103,30,710,0\n";
  for (const char* type : {"1", "2", "3", "4", "5"}) {
    for (const char* direction : {"U", "D"}) {
      SCOPED_TRACE(testing::Message() << type << direction);
      TempFolder folder;
      WriteTables(folder.path(), sections, flows, kChainReaches);
      const bool up = direction[0] == 'U';
      Request request = Req(type, up ? "01010001000003" : "01010001000001", up ? "0" : "100", direction, "2500");
      request.endReach = up ? "01010001000001" : "01010001000003";
      request.workPath = folder.path();
      RunResult run = RunRillmark(request.Line(), Within(std::chrono::seconds(20)));
      ASSERT_EQ(run.exitStatus, 0) << run.Describe();
      const std::string code = ReadFile(folder / "ccode.txt").value_or("");
      EXPECT_TRUE(code.size() == 5 && code[3] == '0') << code;
      // Only known reaches are output.
      const std::string csv = ReadFile(folder / "out.csv").value_or("");
      EXPECT_EQ(csv.find(",       777,"), std::string::npos) << csv;
      EXPECT_EQ(csv.find(",       555,"), std::string::npos) << csv;
      EXPECT_EQ(csv.find(",       556,"), std::string::npos) << csv;
    }
  }
}

}  // namespace
}  // namespace rill::reliability
