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

#include "batch/batch_tally.h"
#include "batch/outcome_sink.h"
#include "batch/request_source.h"
#include "batch/table_cache.h"

namespace rill {

// One request on its way through the batch.
struct BatchJob {
  SourcedRequest request;
  std::shared_ptr<const LoadedTables> tables;
  std::string loadDump;  // LOG text of a load this request set off, written before its own
};

// Requests handed to a worker together, and what the sink keeps of them,
// made by that worker in request order. Chunks come back to be filled
// again, keeping their room, so that a long batch works in the same memory
// over and over.
struct BatchChunk {
  std::vector<BatchJob> jobs;
  std::unique_ptr<OutcomeSink::Chunk> output;  // what the sink keeps of jobs[0, done)
  std::size_t done = 0;
  BatchTally tally;       // how jobs[0, done) ended
  bool cut = false;       // the batch was stopped before jobs[done]
  bool finished = false;  // the worker is through with it
};

// Worker threads that navigate chunks in any order while the caller hands
// them in and takes them back in request order: one lock and at most one
// wake-up per chunk, not per request. Chunks are owned by the pipeline from
// Submit until the caller takes them with PopFront.
class RequestPipeline {
 public:
  RequestPipeline(unsigned threads, OutcomeSink& sink, const std::atomic<bool>& stop);
  ~RequestPipeline();
  RequestPipeline(const RequestPipeline&) = delete;
  RequestPipeline& operator=(const RequestPipeline&) = delete;

  // An empty chunk to fill: one given back before, or a new one.
  std::unique_ptr<BatchChunk> Blank();
  void Submit(std::unique_ptr<BatchChunk> chunk);
  std::size_t pending() const { return window_.size(); }
  // Waits at most `waitMs` for the oldest chunk; nullptr when it is not finished.
  std::unique_ptr<BatchChunk> PopFront(int waitMs);
  // Takes a written chunk back for reuse.
  void GiveBack(std::unique_ptr<BatchChunk> chunk);

 private:
  void Work();
  void Navigate(BatchChunk& chunk, NavWorkspace& workspace) const;

  OutcomeSink& sink_;
  bool withLog_;
  const std::atomic<bool>& stop_;
  std::mutex mutex_;
  std::condition_variable workReady_;
  std::condition_variable chunkDone_;
  std::deque<BatchChunk*> todo_;
  std::deque<std::unique_ptr<BatchChunk>> window_;   // every chunk not yet taken back, in request order
  std::vector<std::unique_ptr<BatchChunk>> blanks_;  // used by the caller's thread only
  bool closing_ = false;
  std::atomic<bool> abandoned_{false};  // the caller is gone: chunks under way stop at their next request
  std::vector<std::thread> workers_;
};

}  // namespace rill
