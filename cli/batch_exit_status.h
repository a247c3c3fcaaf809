#pragma once

#include "text/status.h"

namespace rill {

// Exit statuses of `rillmark batch`.
inline constexpr int kBatchCompleted = 0;           // every request was read; their statuses are in STATUS
inline constexpr int kBatchRequestsUnreadable = 1;  // REQUESTS (or the site table) cannot be read
inline constexpr int kBatchUnusableOptions = 2;     // options, or the requests table's header, cannot be used
inline constexpr int kBatchOutputFailed = 3;        // an output cannot be written, or memory ran out
inline constexpr int kBatchNothingNavigated = 4;    // every request was refused or found no tables
inline constexpr int kBatchInterrupted = 130;       // stopped on request, outputs complete up to a request

// The exit status of a batch that ended with `status`.
inline int BatchExitStatus(const Status& status) {
  switch (status.fault()) {
    case Fault::None:
      return kBatchCompleted;
    case Fault::InputMissing:
      return kBatchRequestsUnreadable;
    case Fault::Unusable:
      return kBatchUnusableOptions;
    case Fault::NothingNavigated:
      return kBatchNothingNavigated;
    case Fault::Interrupted:
      return kBatchInterrupted;
    case Fault::OutputFailed:
    case Fault::OutOfMemory:
    case Fault::Failed:
      break;
  }
  return kBatchOutputFailed;
}

}  // namespace rill
