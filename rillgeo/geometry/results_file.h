// A navigation's results as rillmark writes them: one run's CSV, or a batch
// RESULTS file whose Request column tells the runs apart.
#pragma once

#include <string>
#include <vector>

#include "text/status.h"

namespace rill::geo {

struct ResultRows {
  std::vector<std::string> columns;            // header names, quotes removed
  std::vector<std::vector<std::string>> rows;  // values, quotes and padding removed
  int comId = -1;                              // where the columns the map needs stand
  int fromMeasure = -1;
  int toMeasure = -1;
  int code = -1;      // -1 when absent
  int distance = -1;  // -1 when absent
  int length = -1;    // RchLength, -1 when absent
};

// Reads the CSV at `path`, keeping only the rows of `request` when it is not
// empty. A fault (Fault::InputMissing) when the file cannot be read, lacks
// Com_id, FromMeasure or ToMeasure, has a row of another width, or, with a
// request, has no Request column or no row of that request.
StatusOr<ResultRows> ReadResults(const std::string& path, const std::string& request);

}  // namespace rill::geo
