#pragma once

#include "batch/run_batch.h"

namespace rill {

// The batch's progress on standard error, one line rewritten in place:
// requests done out of total, rate and time left.
class ProgressLine {
 public:
  void Show(const BatchProgress& progress);
  // Ends the line, when one was shown.
  void End();

 private:
  bool shown_ = false;
};

}  // namespace rill
