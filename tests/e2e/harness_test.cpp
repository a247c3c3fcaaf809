// Checks of the scenario harness itself, run against small stand-in programs, so
// that a scenario failure can be trusted to be the navigator's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>

#include "scenario_harness.h"

namespace rill::e2e {
namespace {

using testing::ReadExisting;
using testing::ScratchDir;
using testing::WriteAll;

TEST(FirstDifference, NamesTheFirstDifferingLineWithVisibleControlBytes) {
  EXPECT_EQ(FirstDifference("a\nb\n", "a\nb\n"), "");

  const std::string d = FirstDifference("a\nb\nc\n", "a\nb\nc\r\n");
  EXPECT_NE(d.find("line 3"), std::string::npos) << d;
  EXPECT_NE(d.find("c\\r\\n"), std::string::npos) << d;

  const std::string noFeed = FirstDifference("x\ny\n", "x\ny");
  EXPECT_NE(noFeed.find("line 2"), std::string::npos) << noFeed;

  const std::string longer = FirstDifference("x\n", "x\nextra\n");
  EXPECT_NE(longer.find("line 2"), std::string::npos) << longer;
  EXPECT_NE(longer.find("extra"), std::string::npos) << longer;

  const std::string shorter = FirstDifference("x\nmissing\n", "x\n");
  EXPECT_NE(shorter.find("ends after line 1"), std::string::npos) << shorter;
  EXPECT_NE(shorter.find("missing"), std::string::npos) << shorter;

  const std::string zero = FirstDifference(std::string("a\0b\n", 4), "a\n");
  EXPECT_NE(zero.find("\\x00"), std::string::npos) << zero;
}

TEST(ReplaceAll, ReplacesEveryPlaceholderAndNotWhatItInserted) {
  EXPECT_EQ(ReplaceAll("{WORK}a{WORK}", "{WORK}", "/t/"), "/t/a/t/");
  EXPECT_EQ(ReplaceAll("{WORK}", "{WORK}", "{WORK}{WORK}"), "{WORK}{WORK}");
}

TEST(ListScenarios, FindsOnlyFoldersWithACommandLine) {
  ScratchDir t;
  WriteAll(t.path() / "b_case" / "cmdline", "x");
  WriteAll(t.path() / "a_case" / "cmdline", "x");
  WriteAll(t.path() / "tools" / "script.py", "");
  WriteAll(t.path() / "README.md", "");
  EXPECT_EQ(ListScenarios(t.path()), (std::vector<std::string>{"a_case", "b_case"}));
  EXPECT_EQ(TestNameFor("load-dump.v2"), "load_dump_v2");
}

TEST(RunProcess, ReportsStatusOutputFolderAndTimeout) {
  ScratchDir t;
  const fs::path out = t.path() / "out.txt";
  const fs::path err = t.path() / "err.txt";

  auto r = RunProcess({"/bin/sh", "-c", "pwd; echo complaint >&2; exit 3"}, t.path(), out, err, 30);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(ReadExisting(err), "complaint\n");
  EXPECT_EQ(fs::canonical(ReadExisting(out).substr(0, ReadExisting(out).size() - 1)), fs::canonical(t.path()));

  // The argument reaches the program as one, blanks and commas included.
  r = RunProcess({"/bin/sh", "-c", "printf '%s|' \"$@\"", "sh", "1, a ,b"}, t.path(), out, err, 30);
  ASSERT_TRUE(r.exited);
  EXPECT_EQ(ReadExisting(out), "1, a ,b|");

  const auto before = std::chrono::steady_clock::now();
  r = RunProcess({"/bin/sleep", "20"}, t.path(), out, err, 0.3);
  EXPECT_TRUE(r.timedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));

  r = RunProcess({"/bin/sh", "-c", "kill -SEGV $$"}, t.path(), out, err, 30);
  EXPECT_FALSE(r.exited);
  EXPECT_EQ(r.signal, SIGSEGV);
}

std::string Joined(const std::vector<std::string>& problems) {
  std::string all;
  for (const auto& p : problems) all += p + "\n";
  return all;
}

// A stand-in navigator: a shell script that receives the command line as $1.
fs::path MakeProgram(const fs::path& dir, const std::string& body) {
  const fs::path p = dir / "fake_navigator.sh";
  WriteAll(p, "#!/bin/sh\n" + body + "\n");
  chmod(p.c_str(), 0755);
  return p;
}

fs::path MakeScenario(const fs::path& root) {
  const fs::path s = root / "scenario";
  WriteAll(s / "cmdline", "0,{WORK},sub/\n");
  WriteAll(s / "README.md", "not an input\n");
  WriteAll(s / "rchdata.txt", "1,A,B,1,1,1\n");
  WriteAll(s / "sub" / "secdata.txt", "0,100,1,2,1,1\n");
  WriteAll(s / "expected" / "exit_status", "0\n");
  WriteAll(s / "expected" / "sub" / "message.out", "WorkPath: {WORK}\n");
  WriteAll(s / "expected" / "stderr_contains", "warned\n\ntwice\n");
  return s;
}

// The scenario above run with a stand-in navigator made of `body`.
ScenarioOutcome RunWithStandIn(const std::string& body, double timeoutSeconds) {
  ScratchDir t;
  const fs::path s = MakeScenario(t.path());
  return RunScenario(s, Programs{MakeProgram(t.path(), body).string(), ""}, timeoutSeconds);
}

// Removes the work folder a failing scenario keeps.
void Discard(const ScenarioOutcome& o) {
  std::error_code ec;
  fs::remove_all(o.scratch, ec);
}

TEST(RunScenario, PassesWhenTheRunLeavesExactlyTheExpectedFiles) {
  // $1 is "0,<work>/,sub/": cut out the work folder.
  const auto o = RunWithStandIn(
      "w=$(echo \"$1\" | cut -d, -f2); test -f README.md && exit 9;"
      " test -f sub/secdata.txt || exit 8;"
      " echo \"WorkPath: $w\" > \"${w}sub/message.out\"; echo warned twice >&2",
      30);
  EXPECT_TRUE(o.problems.empty()) << Joined(o.problems);
  EXPECT_FALSE(fs::exists(o.scratch)) << "a passing scenario leaves no scratch folder";
}

TEST(RunScenario, ReportsEveryKindOfMismatchAndKeepsTheWorkFolder) {
  const auto o = RunWithStandIn(
      "printf 'WorkPath: elsewhere\\n' > sub/message.out;"
      " echo stray > out.csv; echo 2,X > rchdata.txt;"
      " rm sub/secdata.txt; exit 4",
      30);
  const std::string all = Joined(o.problems);
  EXPECT_NE(all.find("exit status 4, expected 0"), std::string::npos) << all;
  EXPECT_NE(all.find("sub/message.out: "), std::string::npos) << all;
  EXPECT_NE(all.find("line 1"), std::string::npos) << all;
  EXPECT_NE(all.find("out.csv: written but not expected"), std::string::npos) << all;
  EXPECT_NE(all.find("rchdata.txt: input table changed"), std::string::npos) << all;
  EXPECT_NE(all.find("sub/secdata.txt: input file removed"), std::string::npos) << all;
  EXPECT_NE(all.find("standard error does not contain \"warned\""), std::string::npos) << all;
  EXPECT_NE(all.find("standard error does not contain \"twice\""), std::string::npos) << all;
  EXPECT_EQ(o.problems.size(), 7u) << all;
  EXPECT_TRUE(fs::is_directory(o.scratch / "work"));
  Discard(o);
}

TEST(RunScenario, ReportsAMissingOutputAndAHang) {
  const auto o = RunWithStandIn("echo warned >&2; exec sleep 20", 0.5);
  const std::string all = Joined(o.problems);
  EXPECT_NE(all.find("did not end within"), std::string::npos) << all;
  EXPECT_NE(all.find("sub/message.out: not written"), std::string::npos) << all;
  Discard(o);
}

}  // namespace
}  // namespace rill::e2e
