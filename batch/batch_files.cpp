#include "batch/batch_files.h"

namespace rill {

namespace {

// A chunk whose texts grew past this after a large request gives its room
// back, so that such requests do not hold memory for the rest of the batch.
constexpr std::size_t kKeptTextBytes = std::size_t{1} << 20;

void Empty(std::string& text) {
  if (text.capacity() > kKeptTextBytes)
    std::string().swap(text);
  else
    text.clear();
}

// The lines of the requests of one chunk, formatted on its worker.
class FileLines : public OutcomeSink::Chunk {
 public:
  explicit FileLines(bool withLog) : withLog_(withLog) {}

  void Add(const RequestOutcome& outcome) override {
    if (!outcome.navigation.rows.empty()) {
      const std::string prefix = QuotedField(outcome.id) + ",";
      for (const ResultRow& row : outcome.navigation.rows) {
        results += prefix;
        AppendResultLine(results, row);
      }
    }
    status += StatusLine(outcome.id, static_cast<int>(outcome.status), outcome.ccode(), outcome.message);
    if (withLog_) log += outcome.log;
  }
  void Clear() override {
    Empty(results);
    Empty(status);
    Empty(log);
  }

  std::string results;
  std::string status;
  std::string log;

 private:
  bool withLog_;
};

}  // namespace

StatusOr<std::unique_ptr<BatchFiles>> BatchFiles::Create(const std::string& results, const std::string& status,
                                                         const std::string& log) {
  std::unique_ptr<BatchFiles> files(new BatchFiles());
  files->withLog_ = !log.empty();
  files->paths_[0] = results;
  files->paths_[1] = status;
  files->paths_[2] = log;
  TextWriter* writers[3] = {&files->results_, &files->status_, &files->log_};
  for (int i = 0; i < 3; ++i) {
    if (files->paths_[i].empty()) continue;
    if (!writers[i]->Open(files->paths_[i]))
      return Status(Fault::OutputFailed, "The output file " + files->paths_[i] + " could not be written",
                    files->paths_[i]);
  }
  files->results_.Write("\"Request\",");
  files->results_.Write(kResultHeader);
  files->status_.Write(kStatusHeader);
  return files;
}

std::unique_ptr<OutcomeSink::Chunk> BatchFiles::NewChunk() { return std::make_unique<FileLines>(withLog_); }

Status BatchFiles::Take(Chunk& chunk) {
  auto& lines = static_cast<FileLines&>(chunk);
  if (withLog_) log_.Write(lines.log);
  results_.Write(lines.results);
  status_.Write(lines.status);
  if (results_.Failed() || status_.Failed() || log_.Failed()) {
    failed_ = true;
    return Status(Fault::OutputFailed, "An output file could not be written");
  }
  return Status::Ok();
}

Status BatchFiles::Close() {
  Status status;
  TextWriter* writers[3] = {&results_, &status_, &log_};
  for (int i = 0; i < 3; ++i) {
    if (paths_[i].empty()) continue;
    if (!writers[i]->Close() && !failed_ && status.ok())
      status = Status(Fault::OutputFailed, "The output file " + paths_[i] + " could not be written", paths_[i]);
  }
  return status;
}

}  // namespace rill
