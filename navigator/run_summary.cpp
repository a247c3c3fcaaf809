#include "navigator/run_summary.h"

#include "navigator/exit_status.h"

namespace rill {

namespace {

// The notes joined as the batch joins them into a STATUS message.
std::string Joined(const std::vector<std::string>& notes) {
  std::string text;
  for (const std::string& note : notes) {
    if (!text.empty()) text += "; ";
    text += note;
  }
  return text;
}

std::string TraceAt(const std::string& logPath) { return "; the trace is in " + logPath; }

}  // namespace

std::string RunSummaryLine(const RunSummary& s) {
  if (s.logPath.empty()) return "";
  if (s.status == kExitInputMissing)
    return "rillmark: an input table could not be opened (exit status 1)" + TraceAt(s.logPath) + ", which names it";
  if (s.status != kExitCompleted) return "";
  if (!s.navigated)
    return "rillmark: no navigation (NavType outside 1 to 5), the tables were loaded" + TraceAt(s.logPath);
  std::string line = "rillmark: " + std::to_string(s.rows) + (s.rows == 1 ? " row" : " rows") + " written to " +
                     s.csvPath + ", ccode " + s.ccode;
  if (s.ccode != "0000") {
    const std::string reason = Joined(s.notes);
    if (!reason.empty()) line += ": " + reason;
  }
  return line + TraceAt(s.logPath);
}

}  // namespace rill
