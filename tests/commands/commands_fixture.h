// Each test runs `commands` in a fresh, empty work folder and looks at what
// the program left there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "commands_process.h"

namespace rill::commands::testing {

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the program with `arguments` as argv[1..], in the work folder.
  ProcessResult Run(const std::vector<std::string>& arguments) const;

  // Every entry below the work folder, as sorted relative paths; folders end
  // with "/" so that a file and a folder of one name differ.
  std::vector<std::string> WorkEntries() const;

  const std::filesystem::path& Work() const { return work_; }

 private:
  std::filesystem::path root_;
  std::filesystem::path work_;
};

// Number of lines in `text`, each ended by a line feed; -1 when the last
// line has no line feed.
int CountLines(const std::string& text);

}  // namespace rill::commands::testing
