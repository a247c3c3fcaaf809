#pragma once

#include <string>

#include "batch/run_batch.h"

namespace CLI {
class App;
}

namespace rill {

// What the command line of `rillmark batch` says, as its options read it.
struct BatchCommandLine {
  BatchOptions options;
  std::string shard;  // "K/N"
  bool noProgress = false;
  bool quiet = false;  // no progress line and no summary
};

// Declares the `batch` command, its options and their help on the program's
// option parser; returns the command.
CLI::App* AddBatchCommand(CLI::App& program, BatchCommandLine& line);

// After a parse that left arguments over: the first of them that looks like
// an option, named as not one, with the nearest option of `command` when one
// is near ("--thread is not an option; did you mean --threads?"). Empty when
// no left-over argument starts with '-'. `program` holds the left-overs,
// `command` the options they are checked against.
std::string UnknownOptionHint(const CLI::App& program, const CLI::App& command);

// Turns the parsed options into the batch's, or gives the one-line reason
// they cannot be used (naming the option).
std::string CompleteBatchOptions(BatchCommandLine& line);

}  // namespace rill
