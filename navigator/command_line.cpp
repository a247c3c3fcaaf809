#include "navigator/command_line.h"

#include <array>
#include <filesystem>
#include <vector>

#include "navigation/navigation.h"

namespace rill {

namespace {

constexpr std::array<const char*, 14> kFieldNames = {
    "NavType",   "StartReach", "StartMeasure",        "EndReach",       "EndMeasure",
    "Direction", "Distance",   "DistanceUnits",       "TraversalOrder", "WorkPath",
    "OutFile",   "FilePrefix", "WholeReachStartMode", "EndAtCUBoundary"};

// Files of the run that the result CSV must not overwrite.
constexpr std::array<const char*, 5> kRunFiles = {"message.out", "ccode.txt", "rchdata.txt", "flowdata.txt",
                                                  "secdata.txt"};

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ',') ++i;
    if (i >= line.size()) break;
    std::size_t end = line.find(',', i);
    if (end == std::string_view::npos) end = line.size();
    fields.emplace_back(line.substr(i, end - i));
    i = end;
  }
  return fields;
}

// Whether two paths of the run lead to the same file: "./rchdata.txt" or
// "sub/../ccode.txt" name a run file as surely as its plain name does.
bool NamesSameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  return SameIgnoringCase(fs::path(a).lexically_normal().generic_string(),
                          fs::path(b).lexically_normal().generic_string());
}

std::string UsageMessage(std::size_t found) {
  std::string text =
      "The command line holds " + std::to_string(found) + " of the 14 fields it needs, separated by commas:";
  for (std::size_t i = 0; i < kFieldNames.size(); ++i) text += (i == 0 ? " " : ",") + std::string(kFieldNames[i]);
  return text;
}

}  // namespace

StatusOr<CommandLineFields> ParseCommandLine(std::string_view commandLine) {
  // The line is a C string: a zero byte ends it.
  commandLine = commandLine.substr(0, std::min(commandLine.size(), commandLine.find('\0')));
  if (commandLine.size() > kMaxCommandLine)
    return Status(Fault::Unusable, "The command line is " + std::to_string(commandLine.size()) +
                                       " characters long; at most " + std::to_string(kMaxCommandLine) +
                                       " are accepted");
  std::vector<std::string> f = SplitFields(commandLine);
  if (f.size() < kFieldNames.size()) return Status(Fault::Unusable, UsageMessage(f.size()));

  CommandLineFields r;
  r.NavType = ReadWhole(f[0].c_str());
  r.StartReach = f[1];
  r.StartMeasure = ReadMeasure(f[2]);
  r.EndReach = f[3];
  r.EndMeasure = ReadMeasure(f[4]);
  r.Direction = f[5];
  r.Distance = ReadMeasure(f[6]);
  r.DistanceUnits = f[7];
  r.TraversalOrder = f[8];
  r.WorkPath = f[9];
  r.OutFile = f[10];
  r.FilePrefix = f[11];
  r.WholeReachStartMode = ReadSwitch(f[12]);
  r.EndAtCUBoundary = ReadSwitch(f[13]);

  for (const char* name : kRunFiles)
    if (NamesSameFile(r.PathOf(r.OutFile), r.PathOf(name)))
      return Status(Fault::Unusable, "The output file " + r.OutFile + " would overwrite the run's own " + name);
  std::vector<std::string> names(kRunFiles.begin(), kRunFiles.end());
  names.push_back(r.OutFile);
  for (const std::string& name : names) {
    std::string path = r.PathOf(name);
    if (path.size() > kMaxPath)
      return Status(Fault::Unusable,
                    "The path " + path + " is longer than " + std::to_string(kMaxPath) + " characters");
  }
  return r;
}

NavigationRequest CommandLineFields::Request() const {
  NavigationRequest r;
  r.kind = NavKindOf(NavType);
  r.startReach = StartReach;
  r.startMeasure = StartMeasure;
  r.endReach = EndReach;
  r.endMeasure = EndMeasure;
  r.direction = ReadDirection(Direction);
  r.directionText = Direction;
  r.distance = Distance;
  r.units = ReadLegacyUnits(DistanceUnits);
  r.startMode = StartReachModeOf(WholeReachStartMode);
  r.boundary = UnitBoundaryOf(EndAtCUBoundary);
  return r;
}

void WriteRequestHeader(const CommandLineFields& r, TextWriter& log) {
  log.Print(
      "NavType: %d\nStartReach: %s\nStartMeasure: %10.5f\nEndReach: %s\nEndMeasure: %10.5f\nDirection: %s\n"
      "Distance: %10.5f\nDistanceUnits: %s\nTraversalOrder: %s\nWorkPath: %s\nOutFile: %s\n"
      "Whole Reach Start Mode: %d\nEnd at CU Boundary: %d\n\n",
      r.NavType, r.StartReach, r.StartMeasure, r.EndReach, r.EndMeasure, r.Direction, r.Distance, r.DistanceUnits,
      r.TraversalOrder, r.WorkPath, r.OutFile, r.WholeReachStartMode, r.EndAtCUBoundary);
}

}  // namespace rill
