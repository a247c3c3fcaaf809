// What the programs say to someone finding their way: help on -h as on
// --help, a pointer to it after the bare usage, the nearest option for a
// mistyped one. A help request does nothing else.
#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/process.h"

namespace rill::testing {
namespace {

struct HelpCase {
  const char* program;
  std::vector<std::string> args;
  int status;
  const char* out;  // standard output holds this
  const char* err;  // standard error holds this
};

TEST(Help, StatusAndWords) {
  const std::string requests = "r.csv";
  const HelpCase cases[] = {
      {RILL_RILLMARK_EXE, {"-h"}, 0, "Usage: rillmark", ""},
      // Help alone suffices to write a single run's fields.
      {RILL_RILLMARK_EXE,
       {"--help"},
       0,
       "   3 StartMeasure         measure on it: 0 at the reach's downstream end",
       ""},
      {RILL_RILLMARK_EXE, {"--help"}, 0, "MI miles (1609.0 m), FT feet (0.3048 m), anything else meters", ""},
      {RILL_RILLMARK_EXE, {"batch", "-h"}, 0, "--threads", ""},
      {RILL_RILLMARK_EXE, {}, 2, "", "14 fields it needs, separated by commas: NavType,StartReach,"},
      {RILL_RILLMARK_EXE, {}, 2, "", "EndAtCUBoundary\nRun rillmark --help for the batch mode and every option.\n"},
      {RILL_RILLMARK_EXE,
       {"batch", requests, "--out", "o.csv", "--thread", "2"},
       2,
       "",
       "rillmark batch: --thread is not an option; did you mean --threads?\n"},
      {RILL_RILLMARK_EXE,
       {"batch", requests, "--out", "o.csv", "--max-table=2"},
       2,
       "",
       "rillmark batch: --max-table is not an option; did you mean --max-tables?\n"},
      {RILL_RILLMARK_EXE,
       {"batch", requests, "--out", "o.csv", "--colour"},
       2,
       "",
       "rillmark batch: --colour is not an option\n"},
      {RILL_COMMANDS_EXE, {"--help"}, 0, "Usage: commands md,<folder>", ""},
      {RILL_COMMANDS_EXE, {"-h"}, 0, "Usage: commands md,<folder>", ""},
  };
  for (const HelpCase& c : cases) {
    ScratchDir dir("rill-help");
    std::vector<std::string> argv{c.program};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(argv.size() > 1 ? argv.back() : "no argument");
    const ProcessResult run = RunProcess(argv, dir.path(), dir.path() / "out", dir.path() / "err", 60);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, c.status);
    const std::string out = ReadAll(dir.path() / "out");
    const std::string err = ReadAll(dir.path() / "err");
    EXPECT_NE(out.find(c.out), std::string::npos) << out;
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
    if (c.status == 0) {
      EXPECT_EQ(err, "");
    }
    // Help and refusals write no file.
    EXPECT_EQ(ListTree(dir.path(), true), (std::vector<std::string>{"err", "out"}));
  }
}

}  // namespace
}  // namespace rill::testing
