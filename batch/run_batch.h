#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "batch/batch_tally.h"

namespace rill {

// Exit statuses of a batch.
inline constexpr int kBatchCompleted = 0;           // every request was read; their statuses are in STATUS
inline constexpr int kBatchRequestsUnreadable = 1;  // REQUESTS cannot be read
inline constexpr int kBatchUnusableOptions = 2;     // options, or the requests table's header, cannot be used
inline constexpr int kBatchOutputFailed = 3;        // an output cannot be written
inline constexpr int kBatchNothingNavigated = 4;    // every request was refused or found no tables
inline constexpr int kBatchInterrupted = 130;       // stopped on request, outputs complete up to a request

struct BatchOptions {
  std::string requests;
  std::string results;
  std::string status;  // empty: RESULTS with .status.csv in place of its extension
  std::string log;     // empty: no log, and no trace formatted
  std::string tables;  // the table folder of requests without a Tables column
  unsigned threads = 1;
  std::size_t shardIndex = 1;  // this process takes positions congruent to shardIndex modulo shardCount
  std::size_t shardCount = 1;
  std::size_t maxTables = 4;
  bool countRequests = false;  // count the requests first, for a progress total
  std::size_t chunk = 0;       // requests handed to a worker at once; 0: the batch's own choice
};

struct BatchProgress {
  std::size_t done = 0;
  std::size_t total = 0;  // 0 when not counted
  double seconds = 0.0;
};

struct BatchResult {
  int status = kBatchCompleted;
  std::string message;  // why the batch stopped, when status is not 0
  std::size_t requests = 0;
  std::vector<std::string> ignoredColumns;  // columns of REQUESTS the batch passed over
  BatchTally tally;
};

// The STATUS path for a RESULTS path when none is given.
std::string DefaultStatusPath(const std::string& results);

// Runs a batch: every request of REQUESTS (of this shard) navigated as a
// single run would, on `threads` threads, its rows and status written in
// request order. Stops early, with every output complete up to the last
// request written, when `stop` becomes true. `progress` is called now and
// then from the calling thread once the batch has run for a second.
BatchResult RunBatch(const BatchOptions& options, const std::atomic<bool>& stop,
                     const std::function<void(const BatchProgress&)>& progress);

}  // namespace rill
