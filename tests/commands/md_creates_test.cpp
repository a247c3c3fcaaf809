// "md" followed by a folder path creates exactly that one folder.
#include <fstream>

#include "commands_fixture.h"

namespace rill::commands::testing {
namespace {

TEST_F(CommandsTest, CreatesFolderGivenByRelativePath) {
  ExpectQuietSuccess(Run({"md,job1"}));
  EXPECT_EQ(WorkEntries(), (Entries{"job1/"}));
}

TEST_F(CommandsTest, CreatesFolderGivenByAbsolutePathInsideExistingParent) {
  std::filesystem::create_directory(Work() / "nav");
  ExpectQuietSuccess(Run({"md," + (Work() / "nav" / "job1").string()}));
  EXPECT_EQ(WorkEntries(), (Entries{"nav/", "nav/job1/"}));
}

TEST_F(CommandsTest, EmptyFieldsVanishBeforeAndBetweenTheFields) {
  for (const char* line : {",md,a", "md,,b", ",,,md,,,c,,,"}) ExpectQuietSuccess(Run({line}), line);
  EXPECT_EQ(WorkEntries(), (Entries{"a/", "b/", "c/"}));
}

TEST_F(CommandsTest, PathEndsAtTheNextComma) {
  const ProcessResult run = Run({"md,a,b"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(WorkEntries(), (Entries{"a/"}));
}

TEST_F(CommandsTest, PathIsTakenVerbatimWithBlanksAndQuotes) {
  // The arguments are joined with single blanks, so "md,my" "job" names the
  // folder "my job"; nothing is trimmed and no quote is removed.
  EXPECT_EQ(Run({"md,my", "job"}).exitStatus, 0);
  EXPECT_EQ(Run({"md,trail "}).exitStatus, 0);
  EXPECT_EQ(Run({"md,\"q\""}).exitStatus, 0);
  EXPECT_EQ(WorkEntries(), (Entries{"\"q\"/", "my job/", "trail /"}));
}

TEST_F(CommandsTest, CreatesOneLevelOnlyEvenWhenParentsAreMissing) {
  const ProcessResult run = Run({"md,outer/inner"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(WorkEntries(), Entries{});
}

}  // namespace
}  // namespace rill::commands::testing
