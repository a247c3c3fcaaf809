#pragma once

// Runs one end-to-end scenario: a folder of input tables, a command line and the
// files the navigator is expected to leave behind (see tests/scenarios/README.md).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/process.h"

namespace rill::e2e {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::RunProcess;

// Every sub-folder of root that holds a `commandFile` ("cmdline" for a
// single run, "command" for a command of several arguments), sorted by name.
std::vector<std::string> ListScenarios(const fs::path& root, const char* commandFile = "cmdline");

// A test name made of the folder name: characters other than letters, digits and
// '_' become '_'.
std::string TestNameFor(std::string_view folder);

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// Empty when the two texts are equal; otherwise a readable account of the first
// line that differs (numbered from 1), with control bytes made visible.
std::string FirstDifference(std::string_view expected, std::string_view actual);

struct ScenarioOutcome {
  std::vector<std::string> problems;  // empty when the scenario passed
  fs::path scratch;                   // kept when there are problems, else removed
  std::string commandLine;            // after {WORK} was replaced
  std::string stderrText;
};

// The programs a scenario may run; rillgeo empty where it is not built.
struct Programs {
  std::string rillmark;
  std::string rillgeo;
};

// Copies the scenario's inputs into a fresh work folder, runs the program on its
// command line and compares what the run left there with expected/.
ScenarioOutcome RunScenario(const fs::path& scenarioDir, const Programs& programs, double timeoutSeconds);

}  // namespace rill::e2e
