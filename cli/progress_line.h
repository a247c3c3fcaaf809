#pragma once

#include <iostream>

#include "batch/run_batch.h"
#include "text/progress_line.h"

namespace rill {

// The batch's progress on standard error, one line rewritten in place:
// requests done out of total, rate and time left.
class BatchProgressLine {
 public:
  void Show(const BatchProgress& progress);
  // Ends the line, when one was shown.
  void End() { line_.End(); }

 private:
  ProgressLine line_{std::cerr};
};

}  // namespace rill
