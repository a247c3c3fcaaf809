#include "text/block_writer.h"

#include <deque>
#include <vector>

#ifdef RILL_THREADS
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace rill {

namespace {
// Enough blocks in flight to keep both threads busy, few enough to keep the
// memory small and warm.
constexpr std::size_t kMaxQueued = 3;

bool WriteBlock(std::FILE* file, const std::string& block) {
  return std::fwrite(block.data(), 1, block.size(), file) == block.size();
}
}  // namespace

#ifdef RILL_THREADS

struct BlockWriter::Queue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::string> pending;
  std::vector<std::string> spare;
  bool writing = false;  // the thread holds a block taken from `pending`
  bool stop = false;
  bool failed = false;
  std::thread thread;
};

BlockWriter::BlockWriter(std::FILE* file) : file_(file), queue_(std::make_unique<Queue>()) {
  Queue& q = *queue_;
  q.spare.reserve(kMaxQueued + 2);
  q.thread = std::thread([&q, file = file_] {
    std::unique_lock<std::mutex> lock(q.mutex);
    for (;;) {
      q.changed.wait(lock, [&] { return q.stop || !q.pending.empty(); });
      if (q.pending.empty()) return;
      std::string block = std::move(q.pending.front());
      q.pending.pop_front();
      q.writing = true;
      lock.unlock();
      const bool ok = WriteBlock(file, block);
      block.clear();
      lock.lock();
      q.writing = false;
      if (!ok) q.failed = true;
      q.spare.push_back(std::move(block));
      q.changed.notify_all();
    }
  });
}

BlockWriter::~BlockWriter() {
  {
    std::lock_guard<std::mutex> lock(queue_->mutex);
    queue_->stop = true;
  }
  queue_->changed.notify_all();
  queue_->thread.join();
}

std::string BlockWriter::Hand(std::string&& block) {
  Queue& q = *queue_;
  std::unique_lock<std::mutex> lock(q.mutex);
  q.changed.wait(lock, [&] { return q.pending.size() < kMaxQueued; });
  q.pending.push_back(std::move(block));
  std::string empty;
  if (!q.spare.empty()) {
    empty = std::move(q.spare.back());
    q.spare.pop_back();
  }
  lock.unlock();
  q.changed.notify_all();
  return empty;
}

bool BlockWriter::Drain() {
  Queue& q = *queue_;
  std::unique_lock<std::mutex> lock(q.mutex);
  q.changed.wait(lock, [&] { return q.pending.empty() && !q.writing; });
  return !q.failed;
}

bool BlockWriter::Failed() const {
  std::lock_guard<std::mutex> lock(queue_->mutex);
  return queue_->failed;
}

#else

struct BlockWriter::Queue {
  bool failed = false;
};

BlockWriter::BlockWriter(std::FILE* file) : file_(file), queue_(std::make_unique<Queue>()) {}

BlockWriter::~BlockWriter() = default;

std::string BlockWriter::Hand(std::string&& block) {
  if (!WriteBlock(file_, block)) queue_->failed = true;
  block.clear();
  return std::move(block);
}

bool BlockWriter::Drain() { return !queue_->failed; }

bool BlockWriter::Failed() const { return queue_->failed; }

#endif

}  // namespace rill
