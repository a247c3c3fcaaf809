#include "batch/request_outcome.h"

#include <exception>
#include <new>

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

// The notes of a navigation as one Message field.
std::string Joined(const std::vector<std::string>& notes) {
  std::string text;
  for (const std::string& note : notes) {
    if (!text.empty()) text += "; ";
    text += note;
  }
  return text;
}

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
  out.status = kRequestUnusable;
  out.statusLine = StatusLine(refusal.id, kRequestUnusable, "", refusal.reason);
  if (withLog) out.log = RequestLine(refusal.id);
  return out;
}

RequestOutcome NavigateRequest(const BatchRequest& b, const LoadedTables& loaded, bool withLog, NavWorkspace* reuse) {
  RequestOutcome out;
  if (withLog) out.log = RequestLine(b.id);
  if (!loaded.loaded) {
    out.status = kRequestInputMissing;
    out.statusLine =
        StatusLine(b.id, kRequestInputMissing, "", "The input file " + loaded.missingPath + " was not opened");
    return out;
  }
  if (b.navigation.kind == NavKind::None) {
    out.statusLine = StatusLine(b.id, kRequestCompleted, "", "");
    return out;
  }
  TextWriter log = withLog ? TextWriter::InMemory() : TextWriter::Discarding();
  std::string failure;
  try {
    TextWriter rows = TextWriter::InMemory();
    const Navigation navigation = Navigate(loaded.tables, b.navigation, log, reuse);
    if (!navigation.refusal.empty()) {
      out.status = kRequestUnusable;
      out.statusLine = StatusLine(b.id, kRequestUnusable, "", navigation.refusal);
      if (withLog) out.log += log.TakeText();
      return out;
    }
    WriteResultLines(loaded.tables, navigation, QuotedField(b.id) + ",", rows);
    WriteSpecialCases(navigation.state, log);
    out.rows = rows.TakeText();
    out.ccode = navigation.ccode;
    out.statusLine = StatusLine(b.id, kRequestCompleted, navigation.ccode, Joined(navigation.notes));
  } catch (const std::bad_alloc&) {
    failure = "The navigation ran out of memory";
  } catch (const std::exception& e) {
    failure = std::string("The navigation stopped: ") + e.what();
  }
  if (!failure.empty()) {
    // As in a single run: nothing of the walk is kept but its trace and why it stopped.
    out.rows.clear();
    out.ccode.clear();
    out.status = kRequestFailed;
    out.statusLine = StatusLine(b.id, kRequestFailed, "", failure);
    if (withLog) log.Write(failure + "\n");
  }
  if (withLog) out.log += log.TakeText();
  return out;
}

}  // namespace rill
