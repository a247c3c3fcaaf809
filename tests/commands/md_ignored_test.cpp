// Anything but the exact command word "md" followed by a path does nothing,
// silently, with status 0.
#include "commands_fixture.h"

namespace rill::commands::testing {
namespace {

TEST_F(CommandsTest, OtherCommandWordsDoNothing) {
  std::filesystem::create_directory(Work() / "job1");
  for (const char* line : {"MD,job2", "Md,job2", "rd,job1", "md ,job2", " md,job2", "mdx,job2", "m,job2", "job2"}) {
    ExpectQuietSuccess(Run({line}), line);
  }
  EXPECT_EQ(WorkEntries(), (Entries{"job1/"}));
}

TEST_F(CommandsTest, CommandWordSplitFromItsPathByABlankIsNoCommand) {
  ExpectQuietSuccess(Run({"md", "job1"}));
  EXPECT_EQ(WorkEntries(), Entries{});
}

TEST_F(CommandsTest, NoFieldOrNoPathDoesNothing) {
  const std::vector<std::vector<std::string>> lines = {{}, {""}, {","}, {",,,"}, {"md"}, {",md"}, {"md,"}, {",,md,,,"}};
  for (const auto& arguments : lines) ExpectQuietSuccess(Run(arguments), std::to_string(arguments.size()));
  EXPECT_EQ(WorkEntries(), Entries{});
}

}  // namespace
}  // namespace rill::commands::testing
