// The command line has no length limit: nothing is cut at 999 characters.
#include "commands_fixture.h"

namespace rill::commands::testing {
namespace {

using Entries = std::vector<std::string>;

TEST_F(CommandsTest, LongTailAfterThePathIsIgnored) {
  std::string line = "md,job1,";
  line.append(5000 - line.size(), 'x');
  ASSERT_EQ(line.size(), 5000u);
  const ProcessResult run = Run({line});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.standardError, "");
  EXPECT_EQ(WorkEntries(), (Entries{"job1/"}));
}

TEST_F(CommandsTest, PathPastCharacter999IsUsedWhole) {
  // Five existing levels of 200 characters each; the new sixth level starts
  // after character 1000 of the command line.
  const std::string level(200, 'd');
  std::string parent;
  for (int i = 0; i < 5; ++i) parent += level + std::to_string(i) + "/";
  std::filesystem::create_directories(Work() / parent);
  const std::string line = "md," + parent + "last";
  ASSERT_GT(line.size(), 1000u);

  const ProcessResult run = Run({line});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.standardError, "");
  EXPECT_TRUE(std::filesystem::is_directory(Work() / parent / "last"));
  EXPECT_EQ(WorkEntries().size(), 6u);
}

TEST_F(CommandsTest, FiveThousandCharacterPathFailsWithOneLine) {
  // One name of 4997 characters is longer than any file system allows.
  std::string name(4997, 'n');
  const std::string line = "md," + name;
  ASSERT_EQ(line.size(), 5000u);
  const ProcessResult run = Run({line});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(CountLines(run.standardError), 1);
  EXPECT_NE(run.standardError.find(name), std::string::npos);
  EXPECT_EQ(WorkEntries(), Entries{});
}

}  // namespace
}  // namespace rill::commands::testing
