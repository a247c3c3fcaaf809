#include "batch/run_batch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "batch/request_columns.h"
#include "batch/request_pipeline.h"
#include "batch/table_cache.h"
#include "navigation/navigation.h"
#include "text/csv_records.h"

namespace rill {

namespace {

namespace fs = std::filesystem;

using Clock = std::chrono::steady_clock;

// Requests handed to a worker at once: enough that the lock and wake-up of
// a chunk cost nothing beside its navigations, few enough that the last
// chunks of a batch share out over the threads.
constexpr std::size_t kChunk = 32;
// Requests waiting to be written, per thread: enough to keep every thread
// busy behind a slow request, few enough that their rows, held until the
// requests before them are written, stay a few MB.
constexpr std::size_t kWindowPerThread = 256;

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  return fs::path(a).lexically_normal() == fs::path(b).lexically_normal();
}

bool InShard(std::size_t position, const BatchOptions& o) {
  return position % o.shardCount == o.shardIndex % o.shardCount;
}

std::size_t CountRequests(const std::string& path, const BatchOptions& o) {
  const OpenedFile file = OpenToRead(path);
  if (!file) return 0;
  CsvRecords records(file.get());
  std::vector<std::string> fields;
  if (!records.Next(fields)) return 0;
  std::size_t total = 0;
  for (std::size_t position = 1; records.Next(fields); ++position)
    if (InShard(position, o)) ++total;
  return total;
}

// The three outputs, written in request order.
struct Outputs {
  TextWriter results;
  TextWriter status;
  TextWriter log;
  bool withLog = false;
  BatchTally tally;

  void Write(const BatchChunk& chunk) {
    tally.Merge(chunk.tally);
    if (withLog) log.Write(chunk.log);
    results.Write(chunk.results);
    status.Write(chunk.status);
  }
  bool Failed() const { return results.Failed() || status.Failed() || log.Failed(); }
};

BatchResult Stop(int status, std::string message) {
  BatchResult result;
  result.status = status;
  result.message = std::move(message);
  return result;
}

}  // namespace

std::string DefaultStatusPath(const std::string& results) {
  return fs::path(results).replace_extension(".status.csv").string();
}

BatchResult RunBatch(const BatchOptions& o, const std::atomic<bool>& stop,
                     const std::function<void(const BatchProgress&)>& progress) {
  const Clock::time_point started = Clock::now();
  const OpenedFile requests = OpenToRead(o.requests);
  if (!requests) return Stop(kBatchRequestsUnreadable, "The requests file " + o.requests + " cannot be read");
  CsvRecords records(requests.get());
  std::vector<std::string> record;
  if (!records.Next(record)) {
    if (records.ReadFailed())
      return Stop(kBatchRequestsUnreadable, "The requests file " + o.requests + " cannot be read");
    return Stop(kBatchUnusableOptions, "The requests file " + o.requests + " has no header line");
  }
  auto header = RequestColumns::FromHeader(record);
  if (auto* message = std::get_if<std::string>(&header)) return Stop(kBatchUnusableOptions, *message);
  const RequestColumns columns = std::get<RequestColumns>(header);
  BatchResult result;
  result.ignoredColumns = columns.ignored();

  const std::string statusPath = o.status.empty() ? DefaultStatusPath(o.results) : o.status;
  std::vector<std::string> outputs = {o.results, statusPath};
  if (!o.log.empty()) outputs.push_back(o.log);
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (SameFile(outputs[i], o.requests))
      return Stop(kBatchUnusableOptions, "The output file " + outputs[i] + " would overwrite the requests");
    for (std::size_t j = 0; j < i; ++j)
      if (SameFile(outputs[i], outputs[j]))
        return Stop(kBatchUnusableOptions, "The output file " + outputs[i] + " is named twice");
  }
  const std::size_t total = o.countRequests ? CountRequests(o.requests, o) : 0;

  Outputs out;
  out.withLog = !o.log.empty();
  for (auto [writer, path] :
       {std::pair{&out.results, &o.results}, std::pair{&out.status, &statusPath}, std::pair{&out.log, &o.log}}) {
    if (path->empty()) continue;
    if (!writer->Open(*path)) return Stop(kBatchOutputFailed, "The output file " + *path + " could not be written");
  }
  out.results.Write("\"Request\",");
  out.results.Write(kResultHeader);
  out.status.Write("\"Request\",\"Status\",\"ccode\",\"Message\"\n");

  TableCache cache(o.maxTables);
  const std::size_t chunkSize = o.chunk == 0 ? kChunk : o.chunk;
  const std::size_t window = std::max<std::size_t>(2, kWindowPerThread * (o.threads == 0 ? 1 : o.threads) / chunkSize);
  Clock::time_point lastShown = started;
  bool interrupted = false;
  bool writeFailed = false;
  {
    RequestPipeline pipeline(o.threads, out.withLog, stop);
    // Writes the chunks that are finished, oldest first; waits for the oldest
    // when the window is full (or, at the end, until every chunk is written).
    auto drain = [&](bool untilEmpty) {
      while (pipeline.pending() > 0 && !writeFailed) {
        const bool mustWait = untilEmpty || pipeline.pending() >= window;
        std::unique_ptr<BatchChunk> chunk = pipeline.PopFront(mustWait ? 200 : 0);
        if (chunk) {
          out.Write(*chunk);
          result.requests += chunk->done;
          writeFailed = out.Failed();
          if (chunk->cut) interrupted = true;
          pipeline.GiveBack(std::move(chunk));
          if (interrupted) return;
        }
        const Clock::time_point now = Clock::now();
        if (progress && now - started >= std::chrono::seconds(1) && now - lastShown >= std::chrono::milliseconds(250)) {
          lastShown = now;
          progress({result.requests, total, std::chrono::duration<double>(now - started).count()});
        }
        if (!chunk && !mustWait) return;
        if (stop.load() && !chunk) interrupted = true;
        if (interrupted) return;
      }
    };

    std::unique_ptr<BatchChunk> chunk = pipeline.Blank();
    std::size_t position = 0;
    while (!writeFailed && !interrupted && !stop.load() && records.Next(record)) {
      ++position;
      if (!InShard(position, o)) continue;
      BatchJob& job = chunk->jobs.emplace_back();
      auto request = ReadRequest(columns, record, o.tables);
      if (records.UnclosedQuote())
        request = RequestRefusal{columns.Field(record, RequestColumn::Request),
                                 "A quoted field is not closed before the end of the file"};
      if (const auto* b = std::get_if<BatchRequest>(&request)) {
        TextWriter loadLog = out.withLog ? TextWriter::InMemory() : TextWriter::Discarding();
        bool fresh = false;
        job.tables = cache.Get(b->PathOf(""), loadLog, fresh);
        if (fresh) job.loadDump = loadLog.TakeText();
      }
      job.request = std::move(request);
      if (chunk->jobs.size() < chunkSize) continue;
      pipeline.Submit(std::move(chunk));
      drain(false);
      chunk = pipeline.Blank();
    }
    if (!chunk->jobs.empty() && !stop.load() && !writeFailed && !interrupted) pipeline.Submit(std::move(chunk));
    if (stop.load()) interrupted = true;
    if (!interrupted) drain(true);
    if (records.ReadFailed() && !interrupted && !writeFailed) {
      result.status = kBatchRequestsUnreadable;
      result.message = "The requests file " + o.requests + " could not be read to its end";
    }
  }
  if (progress && lastShown != started)
    progress({result.requests, total, std::chrono::duration<double>(Clock::now() - started).count()});

  for (auto [writer, path] :
       {std::pair{&out.results, &o.results}, std::pair{&out.status, &statusPath}, std::pair{&out.log, &o.log}}) {
    if (path->empty()) continue;
    if (!writer->Close() && !writeFailed) {
      writeFailed = true;
      result.message = "The output file " + *path + " could not be written";
    }
  }
  result.tally = out.tally;
  if (writeFailed) {
    result.status = kBatchOutputFailed;
    if (result.message.empty()) result.message = "An output file could not be written";
  } else if (interrupted) {
    result.status = kBatchInterrupted;
    result.message = "Stopped after " + std::to_string(result.requests) + " requests";
  } else if (result.status == kBatchCompleted && result.tally.NoneNavigated()) {
    result.status = kBatchNothingNavigated;
    result.message = "no request could be navigated";
  }
  return result;
}

}  // namespace rill
