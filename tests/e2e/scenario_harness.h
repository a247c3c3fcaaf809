#pragma once

// Runs one end-to-end scenario: a folder of input tables, a command line and the
// files the navigator is expected to leave behind (see tests/scenarios/README.md).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rill::e2e {

namespace fs = std::filesystem;

// Every sub-folder of root that holds a "cmdline" file, sorted by name.
std::vector<std::string> ListScenarios(const fs::path& root);

// A test name made of the folder name: characters other than letters, digits and
// '_' become '_'.
std::string TestNameFor(std::string_view folder);

std::string ReadFile(const fs::path& path);
void WriteFile(const fs::path& path, std::string_view bytes);
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// Paths of the regular files below dir, relative to it, with '/' separators,
// sorted.
std::vector<std::string> ListFiles(const fs::path& dir);

// Empty when the two texts are equal; otherwise a readable account of the first
// line that differs (numbered from 1), with control bytes made visible.
std::string FirstDifference(std::string_view expected, std::string_view actual);

struct ProcessResult {
  bool started = false;   // the program could be executed
  bool timedOut = false;  // killed after the time allowed
  bool exited = false;    // ended normally; status is then valid
  int status = -1;
  int signal = 0;  // the signal that ended it, when it did not exit
};

// Runs argv[0] with the arguments argv[1..] (no shell) in the folder cwd, standard
// input from /dev/null, standard output and error into the two files. Kills it when
// it runs longer than timeoutSeconds.
ProcessResult RunProcess(const std::vector<std::string>& argv, const fs::path& cwd,
                         const fs::path& stdoutFile, const fs::path& stderrFile,
                         double timeoutSeconds);

struct ScenarioOutcome {
  std::vector<std::string> problems;  // empty when the scenario passed
  fs::path scratch;                   // kept when there are problems, else removed
  std::string commandLine;            // after {WORK} was replaced
  std::string stderrText;
};

// Copies the scenario's inputs into a fresh work folder, runs the program on its
// command line and compares what the run left there with expected/.
ScenarioOutcome RunScenario(const fs::path& scenarioDir, const std::string& program,
                            double timeoutSeconds);

}  // namespace rill::e2e
