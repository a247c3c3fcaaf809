#pragma once

#include <memory>
#include <string>

#include "batch/outcome_sink.h"

namespace rill {

// The files of `rillmark batch` as a sink: RESULTS (the rows, each after
// its request's id), STATUS (a line per request) and, when named, LOG (each
// table folder's load dump, then each request's trace). The lines are
// formatted on the workers; the files are written in request order.
class BatchFiles : public OutcomeSink {
 public:
  // Creates the files (an empty `log`: no log) and writes their headers.
  // Fails (OutputFailed) naming the first that cannot be created.
  static StatusOr<std::unique_ptr<BatchFiles>> Create(const std::string& results, const std::string& status,
                                                      const std::string& log);

  bool WantsLog() const override { return withLog_; }
  std::unique_ptr<Chunk> NewChunk() override;
  Status Take(Chunk& chunk) override;
  // Closes the files; fails naming the first that could not be written
  // completely, unless a write had failed before.
  Status Close();

 private:
  BatchFiles() = default;
  TextWriter results_;
  TextWriter status_;
  TextWriter log_;
  std::string paths_[3];
  bool withLog_ = false;
  bool failed_ = false;
};

}  // namespace rill
