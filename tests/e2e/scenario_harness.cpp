#include "scenario_harness.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>
#include <system_error>

namespace rill::e2e {

using testing::ListTree;
using testing::ReadExisting;

namespace {

constexpr std::string_view kWorkPlaceholder = "{WORK}";
constexpr std::size_t kShownBytes = 160;  // of one line in a difference report

std::string Visible(std::string_view text) {
  std::string out;
  std::size_t shown = 0;
  for (char c : text) {
    if (shown++ == kShownBytes) {
      out += "...";
      break;
    }
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (u < 0x20 || u >= 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02x", u);
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out;
}

// Lines with their line feed, so that a missing final line feed shows as a
// difference of the last line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = (end == std::string_view::npos) ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::string Trim(std::string text) {
  const char* space = " \t\r\n";
  const auto first = text.find_first_not_of(space);
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(space);
  return text.substr(first, last - first + 1);
}

bool IsHarnessFile(const std::string& relative) {
  return relative == "cmdline" || relative == "command" || relative == "README.md" ||
         relative.rfind("expected/", 0) == 0;
}

// The placeholders of a case's command and expected files.
std::string Expand(std::string text, const std::string& work) {
  text = ReplaceAll(std::move(text), kWorkPlaceholder, work);
  text = ReplaceAll(std::move(text), "{DATA}", RILL_DATA_DIR);
  return ReplaceAll(std::move(text), "{SOURCE}", RILL_SOURCE_DIR);
}

// The lines of a file, without their line ends; blank lines dropped.
std::vector<std::string> NonEmptyLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::vector<std::string> ListScenarios(const fs::path& root, const char* commandFile) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec)) {
    if (entry.is_directory() && fs::is_regular_file(entry.path() / commandFile)) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string TestNameFor(std::string_view folder) {
  std::string name(folder);
  for (char& c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) c = '_';
  }
  return name;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  std::size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

std::string FirstDifference(std::string_view expected, std::string_view actual) {
  if (expected == actual) return {};
  const auto want = SplitLines(expected);
  const auto got = SplitLines(actual);
  std::ostringstream out;
  out << "expected " << expected.size() << " bytes in " << want.size() << " lines, got " << actual.size()
      << " bytes in " << got.size() << " lines\n";
  const std::size_t common = std::min(want.size(), got.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (want[i] != got[i]) {
      out << "first difference at line " << i + 1 << ":\n"
          << "  expected: " << Visible(want[i]) << "\n"
          << "  actual:   " << Visible(got[i]) << "\n";
      return out.str();
    }
  }
  if (got.size() > want.size()) {
    out << "actual goes on after the expected end; line " << common + 1 << ":\n"
        << "  actual:   " << Visible(got[common]) << "\n";
  } else {
    out << "actual ends after line " << common << "; expected line " << common + 1 << ":\n"
        << "  expected: " << Visible(want[common]) << "\n";
  }
  return out.str();
}

ScenarioOutcome RunScenario(const fs::path& scenarioDir, const Programs& programs, double timeoutSeconds) {
  ScenarioOutcome outcome;
  auto& problems = outcome.problems;
  const std::string name = TestNameFor(scenarioDir.filename().string());
  outcome.scratch = testing::MakeTempFolder("rill-e2e-" + name);
  const fs::path work = outcome.scratch / "work";
  fs::create_directories(work);
  const std::string workText = work.string() + "/";

  // Inputs: every file of the scenario except the harness's own.
  std::vector<std::string> inputs;
  for (const auto& rel : ListTree(scenarioDir, false)) {
    if (IsHarnessFile(rel)) continue;
    inputs.push_back(rel);
    fs::create_directories((work / rel).parent_path());
    fs::copy_file(scenarioDir / rel, work / rel, fs::copy_options::overwrite_existing);
  }

  // A single run's one argument, or a command of several arguments.
  std::vector<std::string> argv;
  if (fs::is_regular_file(scenarioDir / "cmdline")) {
    std::string commandLine = ReadExisting(scenarioDir / "cmdline");
    if (!commandLine.empty() && commandLine.back() == '\n') commandLine.pop_back();
    if (!commandLine.empty() && commandLine.back() == '\r') commandLine.pop_back();
    argv = {programs.rillmark, ReplaceAll(commandLine, kWorkPlaceholder, workText)};
  } else {
    argv = NonEmptyLines(Expand(ReadExisting(scenarioDir / "command"), workText));
    if (argv.empty() || (argv[0] != "rillmark" && argv[0] != "rillgeo")) {
      problems.push_back("command: the first line must name rillmark or rillgeo");
      return outcome;
    }
    argv[0] = argv[0] == "rillmark" ? programs.rillmark : programs.rillgeo;
  }
  const std::string& program = argv[0];
  for (std::size_t i = 1; i < argv.size(); ++i) outcome.commandLine += (i > 1 ? " " : "") + argv[i];

  const fs::path expectedDir = scenarioDir / "expected";
  const auto expectedFiles = ListTree(expectedDir, false);
  const bool hasStatus = fs::is_regular_file(expectedDir / "exit_status");
  if (!hasStatus) problems.push_back("expected/exit_status is missing");

  const fs::path outFile = outcome.scratch / "stdout.txt";
  const fs::path errFile = outcome.scratch / "stderr.txt";
  const ProcessResult run = RunProcess(argv, work, outFile, errFile, timeoutSeconds);
  if (fs::exists(errFile)) outcome.stderrText = ReadExisting(errFile);

  if (!run.started) {
    problems.push_back("could not start " + program);
  } else if (run.timedOut) {
    std::ostringstream msg;
    msg << "the run did not end within " << timeoutSeconds << " s and was killed";
    problems.push_back(msg.str());
  } else if (!run.exited) {
    problems.push_back("the run was ended by signal " + std::to_string(run.signal));
  } else if (hasStatus) {
    const std::string want = Trim(ReadExisting(expectedDir / "exit_status"));
    if (want != std::to_string(run.status)) {
      std::string msg = "exit status " + std::to_string(run.status) + ", expected " + want;
      if (run.status >= 125) msg += " (125..127: the harness could not set up or execute the program)";
      problems.push_back(msg);
    }
  }

  std::set<std::string> expectedOutputs;
  for (const auto& rel : expectedFiles) {
    if (rel == "exit_status") continue;
    if (rel == "written") {
      // Files that must be written, whose bytes are not compared.
      for (const std::string& path : NonEmptyLines(ReadExisting(expectedDir / rel))) {
        expectedOutputs.insert(path);
        if (!fs::is_regular_file(work / path)) problems.push_back(path + ": not written");
      }
      continue;
    }
    if (rel == "stderr_contains" || rel == "stdout_contains") {
      // One substring per line; each must appear in standard error (output).
      const bool err = rel == "stderr_contains";
      const std::string stream = err ? outcome.stderrText : (fs::exists(outFile) ? ReadExisting(outFile) : "");
      const std::string wanted = Expand(ReadExisting(expectedDir / rel), workText);
      for (auto needle : SplitLines(wanted)) {
        if (!needle.empty() && needle.back() == '\n') needle.remove_suffix(1);
        if (!needle.empty() && needle.back() == '\r') needle.remove_suffix(1);
        if (needle.empty()) continue;
        if (stream.find(needle) == std::string::npos) {
          problems.push_back(std::string(err ? "standard error" : "standard output") + " does not contain \"" +
                             Visible(needle) + "\"");
        }
      }
      continue;
    }
    expectedOutputs.insert(rel);
    const fs::path actual = work / rel;
    if (!fs::is_regular_file(actual)) {
      problems.push_back(rel + ": not written");
      continue;
    }
    const std::string want = Expand(ReadExisting(expectedDir / rel), workText);
    const std::string diff = FirstDifference(want, ReadExisting(actual));
    if (!diff.empty()) problems.push_back(rel + ": " + diff);
  }

  const std::set<std::string> inputSet(inputs.begin(), inputs.end());
  const auto present = ListTree(work, false);
  const std::set<std::string> presentSet(present.begin(), present.end());
  for (const auto& rel : present) {
    if (expectedOutputs.count(rel)) continue;
    if (inputSet.count(rel)) {
      const std::string diff = FirstDifference(ReadExisting(scenarioDir / rel), ReadExisting(work / rel));
      if (!diff.empty()) problems.push_back(rel + ": input table changed by the run: " + diff);
      continue;
    }
    const auto size = fs::file_size(work / rel);
    std::string head = ReadExisting(work / rel).substr(0, kShownBytes);
    problems.push_back(rel + ": written but not expected (" + std::to_string(size) + " bytes: " + Visible(head) + ")");
  }
  for (const auto& rel : inputs) {
    if (!presentSet.count(rel) && !expectedOutputs.count(rel)) {
      problems.push_back(rel + ": input file removed by the run");
    }
  }

  if (problems.empty()) {
    std::error_code ec;
    fs::remove_all(outcome.scratch, ec);
  }
  return outcome;
}

}  // namespace rill::e2e
