// Each test runs `commands` in a fresh, empty work folder and looks at what
// the program left there.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace rill::commands::testing {

// What a caller can observe of one run: the exit status (128 + the signal
// when a signal ended it) and the text on standard error.
struct ProcessResult {
  int exitStatus = -1;
  std::string standardError;
};

using Entries = std::vector<std::string>;

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest();

  // Runs the program with `arguments` as argv[1..], in the work folder.
  ProcessResult Run(const std::vector<std::string>& arguments) const;

  // Every entry below the work folder, as sorted relative paths; folders end
  // with "/" so that a file and a folder of one name differ.
  Entries WorkEntries() const;

  const std::filesystem::path& Work() const { return work_; }

 private:
  rill::testing::ScratchDir root_{"rill-commands"};  // holds the work folder and standard error
  std::filesystem::path work_;
};

// Expects a run that ended with status 0 and said nothing on standard error.
void ExpectQuietSuccess(const ProcessResult& run, const std::string& label = "");

// Expects a run that ended with status 0 and said on one line of standard
// error why, naming `path`.
void ExpectOneLineNaming(const ProcessResult& run, const std::string& path);

// Number of lines in `text`, each ended by a line feed; -1 when the last
// line has no line feed.
int CountLines(const std::string& text);

}  // namespace rill::commands::testing
