#include "commands_fixture.h"

#include <algorithm>

#include "tests/support/process.h"

namespace rill::commands::testing {

CommandsTest::CommandsTest() : work_(root_.path() / "work") { std::filesystem::create_directories(work_); }

ProcessResult CommandsTest::Run(const std::vector<std::string>& arguments) const {
  constexpr double kSecondsAllowed = 60.0;
  std::vector<std::string> argv = {RILL_COMMANDS_EXE};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  // Standard error is caught outside the work folder, which the tests inspect.
  const std::filesystem::path errorFile = root_.path() / "stderr.txt";
  const rill::testing::ProcessResult run =
      rill::testing::RunProcess(argv, work_, "/dev/null", errorFile, kSecondsAllowed);
  ProcessResult result;
  if (run.exited) {
    result.exitStatus = run.status;
  } else if (run.signal != 0) {
    result.exitStatus = 128 + run.signal;
  }
  result.standardError = rill::testing::ReadAll(errorFile);
  return result;
}

Entries CommandsTest::WorkEntries() const { return rill::testing::ListTree(work_, true); }

void ExpectQuietSuccess(const ProcessResult& run, const std::string& label) {
  EXPECT_EQ(run.exitStatus, 0) << label;
  EXPECT_EQ(run.standardError, "") << label;
}

void ExpectOneLineNaming(const ProcessResult& run, const std::string& path) {
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(CountLines(run.standardError), 1) << run.standardError;
  EXPECT_NE(run.standardError.find(path), std::string::npos) << run.standardError;
}

int CountLines(const std::string& text) {
  if (!text.empty() && text.back() != '\n') return -1;
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace rill::commands::testing
