// Network.batch: a requests table navigated on `threads` threads, each
// request as `rillmark batch` navigates it, the outcomes in request order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "batch/batch.h"
#include "call_arguments.h"
#include "network_handle.h"
#include "row_columns.h"

namespace rill::python {

struct BatchOutcomes {
  std::vector<std::string> ids;  // per request
  std::vector<RequestOutcome> outcomes;
  std::vector<std::string> messages;  // the Message field of each STATUS line
  RowColumns rows;                    // views the outcomes' rows
};

// Requests without a Tables (or Prefix) column navigate `network`; those
// that name other tables navigate those, each folder loaded once per call.
// Throws std::invalid_argument when the header cannot be used (as the batch
// stops on it), std::bad_alloc when memory runs out.
std::unique_ptr<BatchOutcomes> RunRequests(const NetworkHandle& network, const RequestsTable& table, unsigned threads);

}  // namespace rill::python
