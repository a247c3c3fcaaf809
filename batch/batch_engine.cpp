#include "batch/batch_engine.h"

#include <algorithm>
#include <chrono>

#include "batch/request_pipeline.h"

namespace rill {

namespace {

using Clock = std::chrono::steady_clock;

// Requests handed to a worker at once: enough that the lock and wake-up of
// a chunk cost nothing beside its navigations, few enough that the last
// chunks of a batch share out over the threads.
constexpr std::size_t kChunk = 32;
// Requests waiting to be taken, per thread: enough to keep every thread
// busy behind a slow request, few enough that what is kept of them, held
// until the requests before them are taken, stays a few MB.
constexpr std::size_t kWindowPerThread = 256;

}  // namespace

BatchSummary BatchEngine::Run(RequestSource& source, OutcomeSink& sink, const std::atomic<bool>& stop,
                              const ProgressReport& progress) {
  const Clock::time_point started = Clock::now();
  const unsigned threads = options_.threads == 0 ? 1 : options_.threads;
  const std::size_t chunkSize = options_.chunk == 0 ? kChunk : options_.chunk;
  const std::size_t window = std::max<std::size_t>(2, kWindowPerThread * threads / chunkSize);
  const std::size_t total = source.Count();
  const bool withLog = sink.WantsLog();
  BatchSummary summary;
  summary.ignoredColumns = source.ignoredColumns();
  Clock::time_point lastShown = started;
  bool interrupted = false;
  Status taken;
  {
    RequestPipeline pipeline(threads, sink, stop);
    // Hands the finished chunks to the sink, oldest first; waits for the
    // oldest when the window is full (or, at the end, until every chunk is taken).
    auto drain = [&](bool untilEmpty) {
      while (pipeline.pending() > 0 && taken.ok()) {
        const bool mustWait = untilEmpty || pipeline.pending() >= window;
        std::unique_ptr<BatchChunk> chunk = pipeline.PopFront(mustWait ? 200 : 0);
        if (chunk) {
          taken = sink.Take(*chunk->output);
          summary.requests += chunk->done;
          summary.tally.Merge(chunk->tally);
          if (chunk->cut) interrupted = true;
          pipeline.GiveBack(std::move(chunk));
          if (interrupted) return;
        }
        const Clock::time_point now = Clock::now();
        if (progress && now - started >= std::chrono::seconds(1) && now - lastShown >= std::chrono::milliseconds(250)) {
          lastShown = now;
          progress({summary.requests, total, std::chrono::duration<double>(now - started).count()});
        }
        if (!chunk && !mustWait) return;
        if (stop.load() && !chunk) interrupted = true;
        if (interrupted) return;
      }
    };

    std::unique_ptr<BatchChunk> chunk = pipeline.Blank();
    SourcedRequest request;
    while (taken.ok() && !interrupted && !stop.load() && source.Next(request)) {
      BatchJob& job = chunk->jobs.emplace_back();
      if (const auto* b = std::get_if<BatchRequest>(&request)) {
        TextWriter loadLog = withLog ? TextWriter::InMemory() : TextWriter::Discarding();
        bool fresh = false;
        job.tables = cache_.Get(b->PathOf(""), loadLog, fresh);
        if (fresh) job.loadDump = loadLog.TakeText();
      }
      job.request = std::move(request);
      if (chunk->jobs.size() < chunkSize) continue;
      pipeline.Submit(std::move(chunk));
      drain(false);
      chunk = pipeline.Blank();
    }
    if (!chunk->jobs.empty() && !stop.load() && taken.ok() && !interrupted) pipeline.Submit(std::move(chunk));
    if (stop.load()) interrupted = true;
    if (!interrupted) drain(true);
  }
  if (progress && lastShown != started)
    progress({summary.requests, total, std::chrono::duration<double>(Clock::now() - started).count()});

  if (!taken.ok()) {
    summary.status = taken;
  } else if (interrupted) {
    summary.status = Status(Fault::Interrupted, "Stopped after " + std::to_string(summary.requests) + " requests");
  } else if (Status read = source.status(); !read.ok()) {
    summary.status = read;
  } else if (summary.tally.NoneNavigated()) {
    summary.status = Status(Fault::NothingNavigated, "no request could be navigated");
  }
  return summary;
}

}  // namespace rill
