#include "batch/request_pipeline.h"

#include <chrono>

namespace rill {

namespace {

// Blank chunks kept per thread: the few the caller fills next. The others
// go, or every chunk of the window would keep the room of its largest
// requests so far, and memory would grow with the length of the batch.
constexpr std::size_t kBlanksPerThread = 2;

}  // namespace

RequestPipeline::RequestPipeline(unsigned threads, OutcomeSink& sink, const std::atomic<bool>& stop)
    : sink_(sink), withLog_(sink.WantsLog()), stop_(stop) {
  for (unsigned i = 0; i < (threads == 0 ? 1 : threads); ++i) workers_.emplace_back([this] { Work(); });
}

RequestPipeline::~RequestPipeline() {
  abandoned_.store(true);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  workReady_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

std::unique_ptr<BatchChunk> RequestPipeline::Blank() {
  if (blanks_.empty()) {
    auto chunk = std::make_unique<BatchChunk>();
    chunk->output = sink_.NewChunk();
    return chunk;
  }
  std::unique_ptr<BatchChunk> chunk = std::move(blanks_.back());
  blanks_.pop_back();
  return chunk;
}

void RequestPipeline::GiveBack(std::unique_ptr<BatchChunk> chunk) {
  if (blanks_.size() >= kBlanksPerThread * workers_.size()) return;
  chunk->jobs.clear();
  chunk->output->Clear();
  chunk->done = 0;
  chunk->tally = BatchTally{};
  chunk->cut = false;
  chunk->finished = false;
  blanks_.push_back(std::move(chunk));
}

void RequestPipeline::Submit(std::unique_ptr<BatchChunk> chunk) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    todo_.push_back(chunk.get());
    window_.push_back(std::move(chunk));
  }
  workReady_.notify_one();
}

std::unique_ptr<BatchChunk> RequestPipeline::PopFront(int waitMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (window_.empty()) return nullptr;
  if (!chunkDone_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return window_.front()->finished; }))
    return nullptr;
  std::unique_ptr<BatchChunk> chunk = std::move(window_.front());
  window_.pop_front();
  return chunk;
}

void RequestPipeline::Navigate(BatchChunk& chunk, NavWorkspace& workspace) const {
  for (BatchJob& job : chunk.jobs) {
    if (stop_.load() || abandoned_.load()) {
      chunk.cut = true;
      break;
    }
    RequestOutcome outcome;
    if (withLog_) outcome.log = std::move(job.loadDump);
    if (const auto* refusal = std::get_if<RequestRefusal>(&job.request))
      RefuseRequest(*refusal, withLog_, outcome);
    else
      NavigateRequest(std::get<BatchRequest>(job.request), std::move(job.tables), withLog_, &workspace, outcome);
    chunk.tally.Add(outcome.status, outcome.ccode());
    chunk.output->AddOwned(std::move(outcome));
    ++chunk.done;
  }
  // The tables go as soon as no request needs them, not when the chunk is written.
  for (BatchJob& job : chunk.jobs) job.tables.reset();
}

void RequestPipeline::Work() {
  // Kept from chunk to chunk: the walk marks are sized once per worker.
  NavWorkspace workspace;
  for (;;) {
    BatchChunk* chunk;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      workReady_.wait(lock, [this] { return closing_ || !todo_.empty(); });
      // Closing, the chunks left are dropped: the caller no longer wants them.
      if (closing_) return;
      chunk = todo_.front();
      todo_.pop_front();
    }
    // Every chunk is worked on by one thread only; its fields are published
    // to the caller by the mutex taken to mark it finished.
    Navigate(*chunk, workspace);
    bool oldest;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      chunk->finished = true;
      oldest = window_.front().get() == chunk;
    }
    // Only the oldest chunk can let the caller write: no wake-up for the others.
    if (oldest) chunkDone_.notify_all();
  }
}

}  // namespace rill
