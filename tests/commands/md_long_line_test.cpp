// The command line has no length limit: nothing is cut at 999 characters.
#include "commands_fixture.h"

namespace rill::commands::testing {
namespace {

TEST_F(CommandsTest, LongTailAfterThePathIsIgnored) {
  std::string line = "md,job1,";
  line.append(5000 - line.size(), 'x');
  ASSERT_EQ(line.size(), 5000u);
  ExpectQuietSuccess(Run({line}));
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

  ExpectQuietSuccess(Run({line}));
  EXPECT_TRUE(std::filesystem::is_directory(Work() / parent / "last"));
  EXPECT_EQ(WorkEntries().size(), 6u);
}

TEST_F(CommandsTest, FiveThousandCharacterPathFailsWithOneLine) {
  // One name of 4997 characters is longer than any file system allows.
  std::string name(4997, 'n');
  const std::string line = "md," + name;
  ASSERT_EQ(line.size(), 5000u);
  ExpectOneLineNaming(Run({line}), name);
  EXPECT_EQ(WorkEntries(), Entries{});
}

}  // namespace
}  // namespace rill::commands::testing
