// Fuzz target: the command line and the number conversions.
//
// Any byte string goes through ParseCommandLine. The answer is checked
// against a separate model of the rules: a line is refused exactly when it
// is longer than 999 characters (up to a zero byte), holds fewer than 14
// non-empty comma-separated fields, names a file of the run as OutFile
// (letter case ignored) or makes some path of the run longer than 449
// characters; an accepted line carries exactly its first 14 fields, with
// the numbers read as the C library reads them. ReadWhole and ReadDecimal
// are compared with strtol (clamped to 32 bits) and strtod on the whole
// input and on every field.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "navigator/command_line.h"
#include "text/number_text.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_command_line: %s\n", what);
  std::abort();
}

void Expect(bool condition, const char* what) {
  if (!condition) Fail(what);
}

std::int32_t LibraryWhole(const char* text) {
  errno = 0;
  long value = std::strtol(text, nullptr, 10);
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void CheckNumbers(const std::string& text) {
  Expect(rill::ReadWhole(text.c_str()) == LibraryWhole(text.c_str()), "ReadWhole differs from strtol");
  Expect(SameBits(rill::ReadDecimal(text.c_str()), std::strtod(text.c_str(), nullptr)),
         "ReadDecimal differs from strtod");
}

// The non-empty runs of characters between commas.
std::vector<std::string> Runs(std::string_view line) {
  std::vector<std::string> runs;
  std::string current;
  for (char c : line) {
    if (c == ',') {
      if (!current.empty()) runs.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) runs.push_back(current);
  return runs;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool ShouldRefuse(std::string_view line, const std::vector<std::string>& runs) {
  if (line.size() > 999) return true;
  if (runs.size() < 14) return true;
  // The result file may not lead to a run file, by its plain name or by a
  // detour through "." and ".." (or doubled separators) in the path.
  auto normal = [&](const std::string& name) {
    return Lower(std::filesystem::path(runs[9] + runs[11] + name).lexically_normal().generic_string());
  };
  const std::string out = normal(runs[10]);
  for (const char* name : {"message.out", "ccode.txt", "rchdata.txt", "flowdata.txt", "secdata.txt"})
    if (Lower(runs[10]) == name || out == normal(name)) return true;
  const std::size_t base = runs[9].size() + runs[11].size();
  const std::size_t longestName = std::max<std::size_t>(std::strlen("flowdata.txt"), runs[10].size());
  return base + longestName > 449;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string_view untilZero(bytes.c_str());
  CheckNumbers(bytes);

  const std::vector<std::string> runs = Runs(untilZero);
  for (const std::string& run : runs) CheckNumbers(run);

  auto parsed = rill::ParseCommandLine(bytes);
  const bool refused = !parsed.ok();
  Expect(refused == ShouldRefuse(untilZero, runs), "acceptance differs from the rules");
  if (refused) {
    Expect(!parsed.status().message().empty(), "a refusal without a message");
    return 0;
  }
  const rill::CommandLineFields& r = *parsed;
  Expect(r.NavType == LibraryWhole(runs[0].c_str()), "NavType");
  Expect(r.StartReach == runs[1], "StartReach");
  Expect(SameBits(r.StartMeasure, std::strtod(runs[2].c_str(), nullptr)), "StartMeasure");
  Expect(r.EndReach == runs[3], "EndReach");
  Expect(SameBits(r.EndMeasure, std::strtod(runs[4].c_str(), nullptr)), "EndMeasure");
  Expect(r.Direction == runs[5], "Direction");
  Expect(SameBits(r.Distance, std::strtod(runs[6].c_str(), nullptr)), "Distance");
  Expect(r.DistanceUnits == runs[7], "DistanceUnits");
  Expect(r.TraversalOrder == runs[8], "TraversalOrder");
  Expect(r.WorkPath == runs[9], "WorkPath");
  Expect(r.OutFile == runs[10], "OutFile");
  Expect(r.FilePrefix == runs[11], "FilePrefix");
  const auto low16 = [](std::int32_t v) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) & 0xFFFFu));
  };
  Expect(r.WholeReachStartMode == low16(LibraryWhole(runs[12].c_str())), "WholeReachStartMode");
  Expect(r.EndAtCUBoundary == low16(LibraryWhole(runs[13].c_str())), "EndAtCUBoundary");

  // The 14 fields joined again make a line that reads the same.
  std::string again;
  for (std::size_t i = 0; i < 14; ++i) again += (i == 0 ? "" : ",") + runs[i];
  auto reparsed = rill::ParseCommandLine(again);
  Expect(reparsed.ok(), "the joined fields are refused");
  const rill::CommandLineFields& r2 = *reparsed;
  Expect(r2.NavType == r.NavType && r2.StartReach == r.StartReach && SameBits(r2.StartMeasure, r.StartMeasure) &&
             r2.WorkPath == r.WorkPath && r2.OutFile == r.OutFile && r2.EndAtCUBoundary == r.EndAtCUBoundary,
         "the joined fields read differently");
  return 0;
}
