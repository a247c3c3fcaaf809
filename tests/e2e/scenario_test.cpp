// One test per folder of tests/scenarios: the navigator is run on the folder's
// command line and tables, and must leave exactly the expected files behind.
#include <gtest/gtest.h>

#include <sstream>

#include "scenario_harness.h"

namespace rill::e2e {
namespace {

constexpr double kTimeoutSeconds = 120.0;  // a hang fails instead of blocking the run

fs::path ScenarioRoot() { return fs::path(RILL_SOURCE_DIR) / "tests" / "scenarios"; }

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, LeavesExactlyTheExpectedFiles) {
  const fs::path dir = ScenarioRoot() / GetParam();
  const ScenarioOutcome outcome = RunScenario(dir, Programs{RILL_RILLMARK_EXE, ""}, kTimeoutSeconds);
  if (outcome.problems.empty()) return;
  std::ostringstream msg;
  msg << "scenario " << dir.string() << "\n"
      << "command line: " << outcome.commandLine << "\n";
  for (const auto& p : outcome.problems) msg << "- " << p << "\n";
  if (!outcome.stderrText.empty()) {
    msg << "standard error:\n" << outcome.stderrText.substr(0, 2000) << "\n";
  }
  msg << "work folder kept at " << outcome.scratch.string() << "\n";
  ADD_FAILURE() << msg.str();
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Scenario, ::testing::ValuesIn(ListScenarios(ScenarioRoot())),
                         [](const ::testing::TestParamInfo<std::string>& p) { return TestNameFor(p.param); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Scenario);

}  // namespace
}  // namespace rill::e2e
