#pragma once

#include <string>

#include "batch/batch.h"

namespace CLI {
class App;
}

namespace rill {

// What the command line of `rillmark batch` says, as its options read it.
struct BatchCommandLine {
  BatchOptions options;
  std::string shard;  // "K/N"
  bool noProgress = false;
  bool quiet = false;        // no progress line and no summary
  std::string featureMatch;  // "exact" or "reach"; empty: exact
};

// Declares the `batch` command, its options and their help on the program's
// option parser; returns the command.
CLI::App* AddBatchCommand(CLI::App& program, BatchCommandLine& line);

// Turns the parsed options into the batch's, or gives the one-line reason
// they cannot be used (naming the option).
std::string CompleteBatchOptions(BatchCommandLine& line);

}  // namespace rill
