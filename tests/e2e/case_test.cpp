// One test per folder of tests/cases: a command of rillmark batch or rillgeo
// run on the folder's inputs, which must leave exactly the expected files.
#include <gtest/gtest.h>

#include <sstream>

#include "scenario_harness.h"

namespace rill::e2e {
namespace {

constexpr double kTimeoutSeconds = 300.0;

#ifdef RILL_RILLGEO_EXE
constexpr const char* kRillgeo = RILL_RILLGEO_EXE;
#else
constexpr const char* kRillgeo = "";
#endif

fs::path CaseRoot() { return fs::path(RILL_SOURCE_DIR) / "tests" / "cases"; }

class Case : public ::testing::TestWithParam<std::string> {};

TEST_P(Case, LeavesExactlyTheExpectedFiles) {
  const fs::path dir = CaseRoot() / GetParam();
  if (GetParam().rfind("rillgeo_", 0) == 0 && std::string(kRillgeo).empty()) GTEST_SKIP() << "rillgeo is not built";
  const ScenarioOutcome outcome = RunScenario(dir, Programs{RILL_RILLMARK_EXE, kRillgeo}, kTimeoutSeconds);
  if (outcome.problems.empty()) return;
  std::ostringstream msg;
  msg << "case " << dir.string() << "\ncommand: " << outcome.commandLine << "\n";
  for (const auto& p : outcome.problems) msg << "- " << p << "\n";
  if (!outcome.stderrText.empty()) msg << "standard error:\n" << outcome.stderrText.substr(0, 2000) << "\n";
  msg << "work folder kept at " << outcome.scratch.string() << "\n";
  ADD_FAILURE() << msg.str();
}

INSTANTIATE_TEST_SUITE_P(Cases, Case, ::testing::ValuesIn(ListScenarios(CaseRoot(), "command")),
                         [](const ::testing::TestParamInfo<std::string>& p) { return TestNameFor(p.param); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Case);

}  // namespace
}  // namespace rill::e2e
