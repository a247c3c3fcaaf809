#include "navigator/run_navigation.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <new>

#include "navigator/command_line.h"
#include "navigator/navigate.h"
#include "navigator/result_files.h"
#include "network/table_loader.h"
#include "text/stale_file.h"
#include "text/text_writer.h"

namespace rill {

namespace {

constexpr const char* kOutOfMemory = "The navigation ran out of memory\n";

int ReportLogFailure(const std::string& path) {
  std::cerr << "The output file " << path << " could not be written\n";
  return kExitOutputFailed;
}

int RunRequest(NavRequest& request, TextWriter& log, bool concurrent) {
  WriteRequestHeader(request, log);
  NetworkTables tables;
  TablePaths paths = TablePathsFor(request.WorkPath, request.FilePrefix);
  if (LoadNetworkTables(paths, ReadWholeFile, log, tables, concurrent) == LoadStatus::InputMissing)
    return kExitInputMissing;
  if (!IsNavigationType(request.NavType)) return kExitCompleted;
  const Navigation navigation = Navigate(tables, request, log);
  return WriteRunEnding(tables, navigation, request, log);
}

}  // namespace

int RunNavigation(std::string_view commandLine, const RunOptions& options) {
  NavRequest request;
  try {
    auto parsed = ParseCommandLine(commandLine);
    if (auto* refusal = std::get_if<CommandLineRefusal>(&parsed)) {
      std::cerr << refusal->message << '\n';
      return kExitUnusableCommandLine;
    }
    request = std::move(std::get<NavRequest>(parsed));
  } catch (const std::bad_alloc&) {
    std::cerr << kOutOfMemory;
    return kExitOutputFailed;
  }

  const std::string logPath = request.PathOf("message.out");
  const std::string codePath = request.PathOf("ccode.txt");
  TextWriter log;
  if (!log.Open(logPath, options.concurrent)) {
    std::cerr << "The run log " << logPath << " could not be created\n";
    return kExitOutputFailed;
  }
  int status;
  try {
    status = RunRequest(request, log, options.concurrent);
  } catch (const std::bad_alloc&) {
    // Whatever the walk built is dropped; the log says why the run stopped,
    // and no status file may suggest that the CSV beside it is complete.
    ClearStaleFile(codePath);
    try {
      log.Write(kOutOfMemory);
    } catch (const std::bad_alloc&) {
      // Not even room to say so in the log: standard error still says it.
    }
    std::cerr << kOutOfMemory;
    status = kExitOutputFailed;
  } catch (const std::exception& e) {
    // A fault of the program itself: say so rather than die without a word.
    ClearStaleFile(codePath);
    log.Print("The navigation stopped: %s\n", e.what());
    std::cerr << "The navigation stopped: " << e.what() << '\n';
    status = kExitOutputFailed;
  }
  if (!log.Close()) return ReportLogFailure(logPath);
  return status;
}

}  // namespace rill
