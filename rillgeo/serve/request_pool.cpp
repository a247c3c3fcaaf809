#include "rillgeo/serve/request_pool.h"

namespace rill::geo {

BoundedPool::BoundedPool(std::size_t threads, std::size_t waiting) : waiting_(waiting) {
  for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

BoundedPool::~BoundedPool() { shutdown(); }

void BoundedPool::enqueue(std::function<void()> fn) {
  std::unique_lock<std::mutex> lock(mutex_);
  hasRoom_.wait(lock, [&] { return jobs_.size() < waiting_ || stopping_; });
  jobs_.push_back(std::move(fn));
  hasJob_.notify_one();
}

void BoundedPool::shutdown() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ && threads_.empty()) return;
    stopping_ = true;
  }
  hasJob_.notify_all();
  hasRoom_.notify_all();
  for (std::thread& t : threads_) t.join();
  threads_.clear();
}

void BoundedPool::Work() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      hasJob_.wait(lock, [&] { return !jobs_.empty() || stopping_; });
      if (jobs_.empty()) return;  // stopping, and every connection taken is answered
      job = std::move(jobs_.front());
      jobs_.pop_front();
      hasRoom_.notify_one();
    }
    job();
  }
}

WorkerStates::Lease WorkerStates::Take() {
  std::unique_ptr<WorkerState> state;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!free_.empty()) {
      state = std::move(free_.back());
      free_.pop_back();
    }
  }
  if (!state) state = std::make_unique<WorkerState>();
  return Lease(*this, std::move(state));
}

void WorkerStates::Return(std::unique_ptr<WorkerState> state) {
  if (!state) return;
  const std::lock_guard<std::mutex> lock(mutex_);
  free_.push_back(std::move(state));
}

}  // namespace rill::geo
