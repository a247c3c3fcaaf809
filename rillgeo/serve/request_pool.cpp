#include "rillgeo/serve/request_pool.h"

#include "rillgeo/serve/feature_json.h"

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

void BoundServer(httplib::Server& server, std::size_t threads) {
  constexpr std::size_t kWaitingConnections = 64;
  constexpr std::size_t kLongestBody = 1024;
  server.new_task_queue = [threads] { return new BoundedPool(threads, kWaitingConnections); };
  server.set_tcp_nodelay(true);  // an answer goes out whole at once, not after a delayed ack
  server.set_payload_max_length(kLongestBody);
  server.set_keep_alive_max_count(1000);
  server.set_read_timeout(10, 0);
  server.set_write_timeout(30, 0);
  // Ours keep their bodies; the HTTP layer's own answers get one.
  server.set_error_handler(
      httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        const char* why = response.status == 404   ? "no such route"
                          : response.status == 414 ? "the request's address is too long"
                          : response.status == 413 ? "the request's body is too long"
                                                   : "the request cannot be read";
        const RouteAnswer answer = ErrorAnswer(response.status, why);
        response.set_content(answer.body, answer.contentType.c_str());
        return httplib::Server::HandlerResponse::Handled;
      }));
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
