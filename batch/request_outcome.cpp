#include "batch/request_outcome.h"

#include <exception>
#include <new>

#include "navigator/navigate.h"
#include "navigator/result_files.h"
#include "navigator/run_navigation.h"
#include "text/text_writer.h"

namespace rill {

namespace {

std::string StatusLine(const std::string& id, int status, std::string_view ccode, const std::string& message) {
  std::string line = QuotedField(id);
  line += ',';
  line += std::to_string(status);
  line += ',';
  if (!ccode.empty()) line += QuotedField(ccode);
  line += ',';
  if (!message.empty()) line += QuotedField(message);
  line += '\n';
  return line;
}

std::string RequestLine(const std::string& id) { return "Request " + id + "\n"; }

}  // namespace

std::string QuotedField(std::string_view text) {
  std::string field = "\"";
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

RequestOutcome RefusedOutcome(const RequestRefusal& refusal, bool withLog) {
  RequestOutcome out;
  out.statusLine = StatusLine(refusal.id, kExitUnusableCommandLine, "", refusal.reason);
  if (withLog) out.log = RequestLine(refusal.id);
  return out;
}

RequestOutcome NavigateRequest(const BatchRequest& b, const LoadedTables& loaded, bool withLog) {
  RequestOutcome out;
  if (withLog) out.log = RequestLine(b.id);
  if (!loaded.loaded) {
    out.statusLine =
        StatusLine(b.id, kExitInputMissing, "", "The input file " + loaded.missingPath + " was not opened");
    return out;
  }
  if (!IsNavigationType(b.request.NavType)) {
    out.statusLine = StatusLine(b.id, kExitCompleted, "", "");
    return out;
  }
  TextWriter log = withLog ? TextWriter::InMemory() : TextWriter::Discarding();
  std::string failure;
  try {
    TextWriter rows = TextWriter::InMemory();
    NavRequest request = b.request;
    const Navigation navigation = Navigate(loaded.tables, request, log);
    WriteResultLines(loaded.tables, navigation, request, QuotedField(b.id) + ",", rows);
    WriteSpecialCases(navigation.state, log);
    std::string code = StatusCode(navigation.state, request.NavType);
    code.pop_back();  // the line end
    out.rows = rows.TakeText();
    out.statusLine = StatusLine(b.id, kExitCompleted, code, "");
  } catch (const std::bad_alloc&) {
    failure = "The navigation ran out of memory";
  } catch (const std::exception& e) {
    failure = std::string("The navigation stopped: ") + e.what();
  }
  if (!failure.empty()) {
    // As in a single run: nothing of the walk is kept but its trace and why it stopped.
    out.rows.clear();
    out.statusLine = StatusLine(b.id, kExitOutputFailed, "", failure);
    if (withLog) log.Write(failure + "\n");
  }
  if (withLog) out.log += log.TakeText();
  return out;
}

}  // namespace rill
