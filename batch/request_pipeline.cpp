#include "batch/request_pipeline.h"

#include <chrono>

namespace rill {

RequestPipeline::RequestPipeline(unsigned threads, bool withLog, const std::atomic<bool>& stop)
    : withLog_(withLog), stop_(stop) {
  for (unsigned i = 0; i < (threads == 0 ? 1 : threads); ++i) workers_.emplace_back([this] { Work(); });
}

RequestPipeline::~RequestPipeline() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  workReady_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void RequestPipeline::Submit(std::unique_ptr<BatchJob> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    todo_.push_back(job.get());
    window_.push_back(std::move(job));
  }
  workReady_.notify_one();
}

std::unique_ptr<BatchJob> RequestPipeline::PopFront(int waitMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (window_.empty()) return nullptr;
  if (!jobDone_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return window_.front()->done; }))
    return nullptr;
  std::unique_ptr<BatchJob> job = std::move(window_.front());
  window_.pop_front();
  return job;
}

void RequestPipeline::Work() {
  for (;;) {
    BatchJob* job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      workReady_.wait(lock, [this] { return closing_ || !todo_.empty(); });
      // Closing, the jobs left are dropped: the caller no longer wants them.
      if (closing_) return;
      job = todo_.front();
      todo_.pop_front();
    }
    // Every job is worked on by one thread only; its fields are published
    // to the caller by the mutex taken to mark it done.
    if (stop_.load()) {
      job->skipped = true;
    } else if (const auto* refusal = std::get_if<RequestRefusal>(&job->request)) {
      job->outcome = RefusedOutcome(*refusal, withLog_);
    } else {
      job->outcome = NavigateRequest(std::get<BatchRequest>(job->request), *job->tables, withLog_);
    }
    job->tables.reset();
    bool oldest;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job->done = true;
      oldest = window_.front().get() == job;
    }
    // Only the oldest job can let the caller write: no wake-up for the others.
    if (oldest) jobDone_.notify_all();
  }
}

}  // namespace rill
