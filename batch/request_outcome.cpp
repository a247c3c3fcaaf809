#include "batch/request_outcome.h"

#include <exception>
#include <new>

namespace rill {

namespace {

std::string RequestLine(const std::string& id) { return "Request " + id + "\n"; }

}  // namespace

void RefuseRequest(const RequestRefusal& refusal, bool withLog, RequestOutcome& out) {
  out.id = refusal.id;
  out.status = RequestStatus::Unusable;
  out.message = refusal.reason;
  if (withLog) out.log += RequestLine(refusal.id);
}

void NavigateRequest(const BatchRequest& b, std::shared_ptr<const LoadedTables> loaded, bool withLog,
                     NavWorkspace* reuse, RequestOutcome& out) {
  out.id = b.id;
  if (withLog) out.log += RequestLine(b.id);
  if (!loaded->loaded()) {
    out.status = RequestStatus::InputMissing;
    out.message = loaded->status.message();
    return;
  }
  out.tables = std::move(loaded);
  if (b.navigation.kind == NavKind::None) return;
  TextWriter log = withLog ? TextWriter::InMemory() : TextWriter::Discarding();
  std::string failure;
  try {
    out.navigation = Navigate(out.tables->tables, b.navigation, log, reuse);
    if (out.navigation.refusal) {
      out.status = RequestStatus::Unusable;
      out.message = out.navigation.refusal->reason;
      out.navigation = Navigation{};
    } else {
      out.message = NotesMessage(out.navigation);
      WriteSpecialCases(out.navigation, log);
    }
  } catch (const std::bad_alloc&) {
    failure = "The navigation ran out of memory";
  } catch (const std::exception& e) {
    failure = std::string("The navigation stopped: ") + e.what();
  }
  if (!failure.empty()) {
    // As in a single run: nothing of the walk is kept but its trace and why it stopped.
    out.navigation = Navigation{};
    out.status = RequestStatus::Failed;
    out.message = failure;
    if (withLog) log.Write(failure + "\n");
  }
  if (withLog) out.log += log.TakeText();
}

}  // namespace rill
