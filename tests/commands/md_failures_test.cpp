// A folder that cannot be created changes nothing; the program says why on
// one line of standard error and still ends with status 0.
#include <fstream>

#include "commands_fixture.h"

namespace rill::commands::testing {
namespace {

TEST_F(CommandsTest, ExistingFolderIsLeftAsItWas) {
  std::filesystem::create_directory(Work() / "job1");
  std::ofstream(Work() / "job1" / "keep.txt") << "kept\n";
  ExpectOneLineNaming(Run({"md,job1"}), "job1");
  EXPECT_EQ(WorkEntries(), (Entries{"job1/", "job1/keep.txt"}));
}

TEST_F(CommandsTest, MissingParentCreatesNothing) {
  ExpectOneLineNaming(Run({"md,missing/job1"}), "missing/job1");
  EXPECT_EQ(WorkEntries(), Entries{});
}

TEST_F(CommandsTest, FileOfTheSameNameStaysAFile) {
  std::ofstream(Work() / "job1") << "data\n";
  ExpectOneLineNaming(Run({"md,job1"}), "job1");
  EXPECT_EQ(WorkEntries(), (Entries{"job1"}));
  EXPECT_TRUE(std::filesystem::is_regular_file(Work() / "job1"));
}

}  // namespace
}  // namespace rill::commands::testing
