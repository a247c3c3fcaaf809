#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "batch/batch_tally.h"
#include "batch/outcome_sink.h"
#include "batch/request_source.h"
#include "batch/site_table.h"
#include "batch/table_cache.h"

namespace rill {

struct EngineOptions {
  unsigned threads = 1;
  std::size_t maxTables = 4;  // table folders kept loaded at once, beside those a caller keeps
  std::size_t chunk = 0;      // requests handed to a worker at once; 0: the engine's own choice
};

struct BatchProgress {
  std::size_t done = 0;
  std::size_t total = 0;  // 0 when not known
  double seconds = 0.0;
};
using ProgressReport = std::function<void(const BatchProgress&)>;

// How a batch ended: ok when every request was read; otherwise why it
// stopped (InputMissing: the requests could not be read to their end;
// OutputFailed: the sink could not take a chunk; Interrupted: stopped on
// request; NothingNavigated: every request was refused or found no tables).
struct BatchSummary {
  Status status;
  std::size_t requests = 0;  // requests the sink took
  BatchTally tally;
  std::vector<std::string> ignoredColumns;  // columns of the requests no request reads
  std::vector<SitePlacementReport> sites;   // the site table on each folder, when FEATURES is written
};

// The one batch engine of every front end: requests from a source are read
// and their tables loaded in request order on the caller's thread, handed
// in chunks to `threads` workers (each keeping its walk workspace from
// request to request), and their outcomes given to the sink in request
// order, whatever the number of threads.
class BatchEngine {
 public:
  explicit BatchEngine(EngineOptions options) : options_(options), cache_(options.maxTables) {}

  // Tables the caller has loaded already: requests whose folder and prefix
  // are `base` use them, and they are never let go.
  void Keep(const std::string& base, std::shared_ptr<const LoadedTables> tables) { cache_.Keep(base, tables); }

  // Runs every request of `source` into `sink`. Stops early, with the sink
  // complete up to the last request it took, when `stop` becomes true.
  // `progress` is called now and then from the calling thread once the
  // batch has run for a second. Throws only std::bad_alloc.
  BatchSummary Run(RequestSource& source, OutcomeSink& sink, const std::atomic<bool>& stop,
                   const ProgressReport& progress = {});

 private:
  EngineOptions options_;
  TableCache cache_;
};

}  // namespace rill
