// What the programs say to someone finding their way: help on -h as on
// --help, a pointer to it after the bare usage, the nearest option for a
// mistyped one. A help request does nothing else.
#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/process.h"

namespace rill::testing {
namespace {

struct HelpCase {
  const char* name;
  const char* program;
  std::vector<std::string> args;
  int status;
  const char* out;  // standard output holds this
  const char* err;  // standard error is exactly this, or holds it when `errHolds`
  bool errHolds;
};

std::vector<HelpCase> Cases() {
  const char* rillmark = RILL_RILLMARK_EXE;
  const char* commands = RILL_COMMANDS_EXE;
  const char* noHint = "rillmark batch: --colour is not an option\n";
  return {
      {"RillmarkDashH", rillmark, {"-h"}, 0, "Usage: rillmark", "", false},
      {"RillmarkHelp", rillmark, {"--help"}, 0, "Usage: rillmark", "", false},
      {"BatchDashH", rillmark, {"batch", "-h"}, 0, "--threads", "", false},
      {"NoArgument", rillmark, {}, 2, "", "14 fields it needs", true},
      {"NoArgumentPointsAtHelp",
       rillmark,
       {},
       2,
       "",
       "\nRun rillmark --help for the batch mode and every option.\n",
       true},
      {"MistypedOption",
       rillmark,
       {"batch", "r.csv", "--out", "o.csv", "--thread", "2"},
       2,
       "",
       "rillmark batch: --thread is not an option; did you mean --threads?\n",
       false},
      {"MistypedWithValue",
       rillmark,
       {"batch", "r.csv", "--out", "o.csv", "--max-table=2"},
       2,
       "",
       "rillmark batch: --max-table is not an option; did you mean --max-tables?\n",
       false},
      {"FarFromEveryOption", rillmark, {"batch", "r.csv", "--out", "o.csv", "--colour"}, 2, "", noHint, false},
      {"CommandsHelp", commands, {"--help"}, 0, "Usage: commands md,<folder>", "", false},
      {"CommandsDashH", commands, {"-h"}, 0, "Usage: commands md,<folder>", "", false},
  };
}

void PrintTo(const HelpCase& c, std::ostream* out) { *out << c.name; }

class Help : public ::testing::TestWithParam<HelpCase> {};

TEST_P(Help, StatusAndWords) {
  const HelpCase& c = GetParam();
  ScratchDir dir("rill-help");
  std::vector<std::string> argv{c.program};
  argv.insert(argv.end(), c.args.begin(), c.args.end());
  const ProcessResult run = RunProcess(argv, dir.path(), dir.path() / "out", dir.path() / "err", 60);
  ASSERT_TRUE(run.exited);
  EXPECT_EQ(run.status, c.status);
  const std::string out = ReadAll(dir.path() / "out");
  const std::string err = ReadAll(dir.path() / "err");
  EXPECT_NE(out.find(c.out), std::string::npos) << out;
  if (c.errHolds) {
    EXPECT_NE(err.find(c.err), std::string::npos) << err;
  } else {
    EXPECT_EQ(err, c.err);
  }
  // Nothing but the two captured streams: help and refusals write no file.
  EXPECT_EQ(ListTree(dir.path(), true), (std::vector<std::string>{"err", "out"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, Help, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<HelpCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace rill::testing
