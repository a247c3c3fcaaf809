#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "batch/request_columns.h"
#include "batch/table_cache.h"
#include "navigation/navigate.h"

namespace rill {

// A request's status in STATUS: the exit status a single run of the same
// fields would end with.
inline constexpr int kRequestCompleted = 0;     // navigated (or a NavType outside 1..5)
inline constexpr int kRequestInputMissing = 1;  // a table of its folder cannot be opened
inline constexpr int kRequestUnusable = 2;      // the line cannot be a request
inline constexpr int kRequestFailed = 3;        // the navigation itself failed

// Everything one request adds to the batch's outputs, in their formats.
struct RequestOutcome {
  std::string rows;        // RESULTS lines
  std::string statusLine;  // the STATUS line
  std::string log;         // LOG text after the tables' dump, with the Request line
  int status = kRequestCompleted;
  std::string ccode;  // the four digits; empty where none are written
};

// The id as a CSV field: in double quotes, a quote inside doubled.
std::string QuotedField(std::string_view text);

// The outcome of a request that could not be read from its line.
RequestOutcome RefusedOutcome(const RequestRefusal& refusal, bool withLog);

// Navigates one request on its loaded tables (or reports why they could not
// be loaded) as a single run would, keeping every output in memory. The
// trace is formatted only when `withLog`. Never throws: a failure of the
// navigation itself becomes status 3 with its reason. A worker passes the
// workspace it keeps from request to request.
RequestOutcome NavigateRequest(const BatchRequest& request, const LoadedTables& tables, bool withLog,
                               NavWorkspace* reuse = nullptr);

}  // namespace rill
