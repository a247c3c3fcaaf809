#include "commands_fixture.h"

#include <unistd.h>

#include <algorithm>

namespace rill::commands::testing {

void CommandsTest::SetUp() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  root_ = std::filesystem::temp_directory_path() /
          ("rill_commands_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" +
           info->name());
  std::filesystem::remove_all(root_);
  work_ = root_ / "work";
  std::filesystem::create_directories(work_);
}

void CommandsTest::TearDown() { std::filesystem::remove_all(root_); }

ProcessResult CommandsTest::Run(const std::vector<std::string>& arguments) const {
  return RunCommandsProgram(arguments, work_, root_ / "stderr.txt");
}

std::vector<std::string> CommandsTest::WorkEntries() const {
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(work_)) {
    std::string name = entry.path().lexically_relative(work_).string();
    if (entry.is_directory()) name += '/';
    entries.push_back(name);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

int CountLines(const std::string& text) {
  if (!text.empty() && text.back() != '\n') return -1;
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace rill::commands::testing
