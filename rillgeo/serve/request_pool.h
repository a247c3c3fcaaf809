// The fixed pool of threads that answers connections, with a bounded wait
// line, and the working state each answer borrows (a cutter with its
// ground projections, the walk's marks), so that no request builds them.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "navigation/navigation.h"
#include "rillgeo/geometry/ground_cutter.h"

namespace rill::geo {

// A fixed number of threads taking connections in turn. When `waiting`
// connections already wait for a thread, the listener waits too, so that
// further clients wait in the system's listen queue rather than in memory.
class BoundedPool : public httplib::TaskQueue {
 public:
  BoundedPool(std::size_t threads, std::size_t waiting);
  ~BoundedPool() override;
  BoundedPool(const BoundedPool&) = delete;
  BoundedPool& operator=(const BoundedPool&) = delete;

  void enqueue(std::function<void()> fn) override;
  void shutdown() override;

 private:
  void Work();

  const std::size_t waiting_;
  std::deque<std::function<void()>> jobs_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable hasJob_;
  std::condition_variable hasRoom_;
  bool stopping_ = false;
};

// Sets the bounds of `server`: `threads` answering, 64 connections waiting
// at most, no request body above 1 KiB (its line and headers are bounded by
// the HTTP library, 8 KiB each), reads and writes that give up, and a JSON
// body on every error the HTTP layer answers by itself (an unknown route, a
// request line too long or malformed).
void BoundServer(httplib::Server& server, std::size_t threads);

// What one answer works with; one per thread at most are ever made.
struct WorkerState {
  GroundCutter cutter;
  NavWorkspace workspace;
};

class WorkerStates {
 public:
  // Lends a state until the lease ends.
  class Lease {
   public:
    Lease(WorkerStates& owner, std::unique_ptr<WorkerState> state) : owner_(owner), state_(std::move(state)) {}
    ~Lease() { owner_.Return(std::move(state_)); }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    WorkerState& operator*() { return *state_; }
    WorkerState* operator->() { return state_.get(); }

   private:
    WorkerStates& owner_;
    std::unique_ptr<WorkerState> state_;
  };

  Lease Take();

 private:
  void Return(std::unique_ptr<WorkerState> state);

  std::mutex mutex_;
  std::vector<std::unique_ptr<WorkerState>> free_;
};

}  // namespace rill::geo
