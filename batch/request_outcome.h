#pragma once

#include <memory>
#include <string>

#include "batch/request_columns.h"
#include "batch/table_cache.h"
#include "navigation/navigation.h"

namespace rill {

// A request's status in STATUS: the exit status a single run of the same
// fields would end with.
enum class RequestStatus : int {
  Completed = 0,     // navigated (or a NavType outside 1..5)
  InputMissing = 1,  // a table of its folder cannot be opened
  Unusable = 2,      // the line cannot be a request, or it contradicts itself
  Failed = 3,        // the navigation itself failed
};

// What one request of a batch came to, as values: every sink of the batch
// (its files, a data frame) is made from this alone.
struct RequestOutcome {
  std::string id;
  RequestStatus status = RequestStatus::Completed;
  // What the walk found; rows, digits and notes only when navigated. The
  // rows point into `tables`.
  Navigation navigation;
  std::shared_ptr<const LoadedTables> tables;
  // STATUS's Message: the notes, or why the request was not navigated.
  std::string message;
  // Its text in LOG, when the batch keeps one: the load dump of the tables
  // it set off, its Request line, its trace and special-case block.
  std::string log;

  // The four digits STATUS prints; empty where none are written.
  std::string_view ccode() const { return navigation.digits ? navigation.digits->text() : std::string_view(); }
};

// Fills `out` for a request that could not be read from its line.
void RefuseRequest(const RequestRefusal& refusal, bool withLog, RequestOutcome& out);

// Navigates one request on its loaded tables (or says why they could not
// be loaded) as a single run would, into `out`. The trace is formatted only
// `withLog`. Never throws: running out of memory or a fault of the walk
// becomes status Failed with its reason, and nothing of the walk is kept.
// A worker passes the workspace it keeps from request to request.
void NavigateRequest(const BatchRequest& request, std::shared_ptr<const LoadedTables> tables, bool withLog,
                     NavWorkspace* reuse, RequestOutcome& out);

}  // namespace rill
