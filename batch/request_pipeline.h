#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "batch/request_columns.h"
#include "batch/request_outcome.h"
#include "batch/table_cache.h"

namespace rill {

// One request on its way through the batch.
struct BatchJob {
  std::variant<BatchRequest, RequestRefusal> request;
  std::shared_ptr<const LoadedTables> tables;
  std::string loadDump;  // LOG text of a load this request set off, written before its own
  RequestOutcome outcome;
  bool done = false;
  bool skipped = false;  // the batch was stopped before it ran
};

// Worker threads that navigate jobs in any order while the caller hands
// them in and takes them back in request order. Jobs are owned by the
// pipeline from Submit until the caller takes them with PopFront.
class RequestPipeline {
 public:
  RequestPipeline(unsigned threads, bool withLog, const std::atomic<bool>& stop);
  ~RequestPipeline();
  RequestPipeline(const RequestPipeline&) = delete;
  RequestPipeline& operator=(const RequestPipeline&) = delete;

  void Submit(std::unique_ptr<BatchJob> job);
  std::size_t pending() const { return window_.size(); }
  // Waits at most `waitMs` for the oldest job; nullptr when it is not done.
  std::unique_ptr<BatchJob> PopFront(int waitMs);

 private:
  void Work();

  bool withLog_;
  const std::atomic<bool>& stop_;
  std::mutex mutex_;
  std::condition_variable workReady_;
  std::condition_variable jobDone_;
  std::deque<BatchJob*> todo_;
  std::deque<std::unique_ptr<BatchJob>> window_;  // every job not yet taken back, in request order
  bool closing_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace rill
