#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "batch/batch_engine.h"
#include "batch/sites_passed.h"

namespace rill {

// What `rillmark batch` is asked to do, from files to files.
struct BatchOptions {
  std::string requests;
  std::string results;
  std::string status;  // empty: RESULTS with .status.csv in place of its extension
  std::string log;     // empty: no log, and no trace formatted
  std::string tables;  // the table folder of requests without a Tables column
  unsigned threads = 1;
  Shard shard;
  std::size_t maxTables = 4;
  bool countRequests = false;  // count the requests first, for a progress total
  std::size_t chunk = 0;       // requests handed to a worker at once; 0: the batch's own choice
  std::string features;        // the site table; empty: no FEATURES
  std::string featuresOut;     // empty: RESULTS with .features.csv in place of its extension
  FeatureMatch featureMatch = FeatureMatch::Exact;
};

// The FEATURES path for a RESULTS path when none is given.
std::string DefaultFeaturesPath(const std::string& results);

// The STATUS path for a RESULTS path when none is given.
std::string DefaultStatusPath(const std::string& results);

// Runs a batch from its requests file into its files, through the batch
// engine. Fails before any request when REQUESTS cannot be read
// (InputMissing; so does a site table), its header, the site table's header or the outputs named cannot be used
// (Unusable: an output that is the requests file, or named twice) or an output cannot be created (OutputFailed);
// otherwise as BatchEngine::Run, and OutputFailed when a file cannot be closed complete.
BatchSummary RunBatch(const BatchOptions& options, const std::atomic<bool>& stop, const ProgressReport& progress);

}  // namespace rill
