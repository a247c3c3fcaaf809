#include "batch/batch_files.h"

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

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

// Results of more rows than this are not formatted on the worker: their
// rows are kept and written to RESULTS in blocks when the chunk is taken, so
// that a whole-network result is never held as text at once.
constexpr std::size_t kStreamedRows = 16384;

// The rows of one large result, kept with the tables they point into, and
// where in the chunk's text they belong.
struct StreamedRows {
  std::size_t at = 0;  // the length of the chunk's results text before them
  std::string prefix;  // the request's id as a field, and its comma
  std::vector<ResultRow> rows;
  std::shared_ptr<const LoadedTables> tables;
};

// The lines of the requests of one chunk, formatted on its worker.
class FileLines : public OutcomeSink::Chunk {
 public:
  explicit FileLines(bool withLog) : withLog_(withLog) {}

  void Add(const RequestOutcome& outcome) override {
    if (!outcome.navigation.rows.empty()) AppendRows(QuotedField(outcome.id) + ",", outcome.navigation.rows);
    AddLines(outcome);
  }
  void AddOwned(RequestOutcome&& outcome) override {
    if (outcome.navigation.rows.size() <= kStreamedRows) {
      Add(outcome);
      return;
    }
    streamed.push_back(StreamedRows{results.size(), QuotedField(outcome.id) + ",", std::move(outcome.navigation.rows),
                                    std::move(outcome.tables)});
    AddLines(outcome);
  }
  void Clear() override {
    Empty(results);
    Empty(status);
    Empty(log);
    streamed.clear();
  }

  std::string results;
  std::vector<StreamedRows> streamed;  // in request order
  std::string status;
  std::string log;

 private:
  void AppendRows(const std::string& prefix, const std::vector<ResultRow>& rows) {
    for (const ResultRow& row : rows) {
      results += prefix;
      AppendResultLine(results, row);
    }
  }
  void AddLines(const RequestOutcome& outcome) {
    status += StatusLine(outcome.id, static_cast<int>(outcome.status), outcome.ccode(), outcome.message);
    if (withLog_) log += outcome.log;
  }

  bool withLog_;
};

// Writes the chunk's RESULTS text with the kept rows in their places.
void WriteResults(const FileLines& lines, TextWriter& out) {
  const std::string_view text = lines.results;
  std::size_t written = 0;
  for (const StreamedRows& kept : lines.streamed) {
    out.Write(text.substr(written, kept.at - written));
    written = kept.at;
    WriteResultLines(kept.rows, kept.prefix, out);
  }
  out.Write(text.substr(written));
}

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
    // RESULTS is handed to the system on a second thread while the next
    // rows are formatted.
    if (!writers[i]->Open(files->paths_[i], writers[i] == &files->results_))
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
  WriteResults(lines, results_);
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
