// Tables whose size, not their meaning, is hostile: the run must still end
// within a time that grows no faster than the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "reliability_support.h"

namespace rill::reliability {
namespace {

// A (1) and B (2) flow into each other; before that row, A has 200,000 rows
// into reaches that do not exist. A main-path walk from A steps between A
// and B until its step cap (1.25 times the rows), and each step at A looks
// through the whole block of A's rows again: some 1.6e10 row tests, minutes
// of work for a 5 MB flow table. The row a reach continues on depends only
// on the tables and on whether a Dir 709 row was taken, so it can be found
// once per reach. Disabled until the mainstem next-row choice stops
// searching the same block again on every step.
TEST(SlowInputs, AFlowLoopBesideAHugeBlockOfRowsEndsInSeconds) {
  TempFolder work;
  std::string flows;
  for (int i = 0; i < 200000; ++i) flows += std::to_string(i + 10) + ",1," + std::to_string(1000000 + i) + ",0,709,0\n";
  flows += "1,1,2,0,709,0\n2,2,1,0,709,0\n";
  WriteTables(work.path(), "0,100,1,2,1,100\n0,100,2,3,2,100\n", flows, "1,A,20200101,1,100,1\n2,B,20200101,1,100,2\n");
  Request request;
  request.startReach = "A";
  request.workPath = work.path();
  RunResult run = RunRillmark(request.Line(), Within(std::chrono::seconds(BuiltWithAddressSanitizer() ? 60 : 15)));
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_EQ(ReadFile(work / "ccode.txt"), "0000\n");
}

// Lake reach L (2) is one chain of 1,000,000 sections, nodes 1 > 2 > ... >
// 1,000,001, measures falling from 1,000,101 to 101, written bottom first;
// A (1) ends at node 1 and flows into L. A mainstem walk down from A records
// L piece by piece along the chain. Looking through all of L's sections for
// the section that starts at each next node would take some 5e11 section
// tests; found through the tables' node index, the chain costs no more than
// writing its million output lines.
TEST(SlowInputs, AMillionSectionLakeChainEnteredByAMainstemWalkEndsInSeconds) {
  constexpr int kSections = 1000000;
  TempFolder work;
  std::string sections = "0,100,9,1,1,100\n";
  sections.reserve(std::size_t{32} * kSections);
  for (int i = kSections - 1; i >= 0; --i) {
    const int bottom = 100 + kSections - i;
    sections += std::to_string(bottom) + ',' + std::to_string(bottom + 1) + ',' + std::to_string(i + 1) + ',' +
                std::to_string(i + 2) + ",2,1\n";
  }
  WriteTables(work.path(), sections, "1,1,2,0,709,0\n", "1,A,20200101,1,100,1\n2,L,20200101,1,1000000,2\n");
  Request request;
  request.startReach = "A";
  request.workPath = work.path();
  RunResult run = RunRillmark(request.Line(), Within(std::chrono::seconds(BuiltWithAddressSanitizer() ? 240 : 60)));
  ASSERT_EQ(run.exitStatus, 0) << run.Describe();
  EXPECT_EQ(ReadFile(work / "ccode.txt"), "0000\n");
  // The header, A, then every section of L in chain order, the bottom one last.
  const std::string csv = ReadFile(work / "out.csv").value_or("");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), kSections + 2);
  EXPECT_NE(csv.find("\"L\",         2,\"20200101\",2,1000101.000,1000100.000,            101.0000,    1.0000\n"),
            std::string::npos);
  const std::string bottom = "\"L\",         2,\"20200101\",2,   102.000,   101.000,        1000100.0000,    1.0000\n";
  EXPECT_TRUE(csv.ends_with(bottom)) << csv.substr(csv.size() - std::min<std::size_t>(csv.size(), 300));
}

}  // namespace
}  // namespace rill::reliability
