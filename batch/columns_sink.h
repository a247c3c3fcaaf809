// A sink of the batch engine for the front ends that make data frames (the
// Python and R packages): the outcomes kept as the columns of the RESULTS
// and STATUS frames, filled from the records on the workers, gathered in
// request order.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "batch/outcome_sink.h"
#include "batch/row_columns.h"

namespace rill {

class ColumnsSink : public OutcomeSink {
 public:
  std::unique_ptr<Chunk> NewChunk() override;
  Status Take(Chunk& chunk) override;

  // One per request, in request order.
  std::vector<std::string> ids;
  std::vector<std::int64_t> statuses;
  std::vector<std::string> ccodes;
  std::vector<std::string> messages;
  RowColumns rows;

 private:
  // Every table folder whose reaches the rows point into.
  std::vector<std::shared_ptr<const LoadedTables>> tables_;
};

}  // namespace rill
