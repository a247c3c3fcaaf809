// Runs the built `commands` program in a folder of its own and collects what
// a caller can observe: the exit status and the text on standard error.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rill::commands::testing {

struct ProcessResult {
  int exitStatus = -1;
  std::string standardError;
};

// Starts the program with `arguments` (argv[1..]) and `workingFolder` as its
// current folder, and waits for it. Standard error is caught through
// `errorFile`, which must lie outside the folders a test inspects.
ProcessResult RunCommandsProgram(const std::vector<std::string>& arguments,
                                 const std::filesystem::path& workingFolder,
                                 const std::filesystem::path& errorFile);

}  // namespace rill::commands::testing
