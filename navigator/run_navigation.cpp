#include "navigator/run_navigation.h"

#include <exception>
#include <filesystem>
#include <new>

#include "navigation/navigation.h"
#include "navigator/command_line.h"
#include "navigator/result_files.h"

namespace rill {

namespace {

// Why the run log cannot be created, when it is the work folder's fault: it
// does not exist, or is no folder. An empty WorkPath is the current folder.
std::string WorkFolderFault(const std::string& workPath) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (workPath.empty() || fs::is_directory(workPath, ec)) return "";
  fs::path folder(workPath);
  if (!folder.has_filename()) folder = folder.parent_path();  // "runs/nope/" names "runs/nope"
  return fs::exists(folder, ec) ? "The work folder " + workPath + " is not a folder"
                                : "The work folder " + workPath + " does not exist";
}

constexpr const char* kOutOfMemory = "The navigation ran out of memory\n";

int ReportLogFailure(const std::string& path, std::ostream& errors) {
  errors << "The output file " << path << " could not be written\n";
  return kExitOutputFailed;
}

int RunRequest(const CommandLineFields& fields, TextWriter& log, std::ostream& errors, bool concurrent,
               RunSummary* summary) {
  WriteRequestHeader(fields, log);
  NetworkTables tables;
  TablePaths paths = TablePathsFor(fields.WorkPath, fields.FilePrefix);
  if (!LoadNetworkTables(paths, ReadWholeFile, log, tables, concurrent).ok()) return kExitInputMissing;
  const NavigationRequest request = fields.Request();
  if (request.kind == NavKind::None) return kExitCompleted;
  const Navigation navigation = Navigate(tables, request, log);
  const int status = WriteRunEnding(navigation, fields, log, errors);
  if (summary != nullptr && status == kExitCompleted) {
    summary->navigated = true;
    summary->ccode = navigation.digits ? std::string(navigation.digits->text()) : "";
    summary->notes = navigation.notes;
    summary->rows = navigation.rows.size();
  }
  return status;
}

}  // namespace

int RunNavigation(std::string_view commandLine, std::ostream& errors, const RunOptions& options, RunSummary* summary) {
  CommandLineFields request;
  try {
    StatusOr<CommandLineFields> parsed = ParseCommandLine(commandLine);
    if (!parsed.ok()) {
      errors << parsed.status().message() << '\n';
      return kExitUnusableCommandLine;
    }
    request = std::move(parsed).value();
  } catch (const std::bad_alloc&) {
    errors << kOutOfMemory;
    return kExitOutputFailed;
  }

  const std::string logPath = request.PathOf("message.out");
  const std::string codePath = request.PathOf("ccode.txt");
  TextWriter log;
  if (!log.Open(logPath, options.concurrent)) {
    if (const std::string fault = WorkFolderFault(request.WorkPath); !fault.empty())
      errors << fault << '\n';
    else
      errors << "The run log " << logPath << " could not be created\n";
    return kExitOutputFailed;
  }
  int status;
  try {
    status = RunRequest(request, log, errors, options.concurrent, summary);
  } catch (const std::bad_alloc&) {
    // Whatever the walk built is dropped; the log says why the run stopped,
    // and no status file may suggest that the CSV beside it is complete.
    ClearStaleFile(codePath);
    try {
      log.Write(kOutOfMemory);
    } catch (const std::bad_alloc&) {
      // Not even room to say so in the log: standard error still says it.
    }
    errors << kOutOfMemory;
    status = kExitOutputFailed;
  } catch (const std::exception& e) {
    // A fault of the program itself: say so rather than die without a word.
    ClearStaleFile(codePath);
    log.Print("The navigation stopped: %s\n", e.what());
    errors << "The navigation stopped: " << e.what() << '\n';
    status = kExitOutputFailed;
  }
  if (!log.Close()) status = ReportLogFailure(logPath, errors);
  if (summary != nullptr) {
    summary->status = status;
    summary->csvPath = request.PathOf(request.OutFile);
    summary->logPath = logPath;
  }
  return status;
}

}  // namespace rill
