#include "batch/request_source.h"

#include <utility>

#include "text/csv_records.h"
#include "text/opened_file.h"

namespace rill {

namespace {

class FileSource : public RequestSource {
 public:
  FileSource(std::string path, OpenedFile file, RequestDefaults defaults, Shard shard)
      : path_(std::move(path)),
        file_(std::move(file)),
        records_(file_.get()),
        defaults_(std::move(defaults)),
        shard_(shard) {}

  // Reads the header; nothing ok when the file has none or a header that cannot be used.
  Status Start() {
    std::vector<std::string> header;
    if (!records_.Next(header)) {
      if (records_.ReadFailed()) return Status(Fault::InputMissing, "The requests file " + path_ + " cannot be read");
      return Status(Fault::Unusable, "The requests file " + path_ + " has no header line");
    }
    StatusOr<RequestColumns> columns = RequestColumns::FromHeader(header);
    if (!columns.ok()) return columns.status();
    columns_ = std::move(columns).value();
    return Status::Ok();
  }

  void CountFirst() {
    const OpenedFile again = OpenToRead(path_);
    if (!again) return;
    CsvRecords records(again.get());
    std::vector<std::string> fields;
    if (!records.Next(fields)) return;
    for (std::size_t position = 1; records.Next(fields); ++position)
      if (shard_.Takes(position)) ++count_;
  }

  bool Next(SourcedRequest& request) override {
    while (records_.Next(record_)) {
      if (!shard_.Takes(++position_)) continue;
      request = ReadRequest(columns_, record_, defaults_.tables, defaults_.prefix);
      if (records_.UnclosedQuote())
        request = RequestRefusal{columns_.Field(record_, RequestColumn::Request),
                                 "A quoted field is not closed before the end of the file"};
      return true;
    }
    return false;
  }

  Status status() const override {
    if (!records_.ReadFailed()) return Status::Ok();
    return Status(Fault::InputMissing, "The requests file " + path_ + " could not be read to its end");
  }
  std::size_t Count() const override { return count_; }
  const std::vector<std::string>& ignoredColumns() const override { return columns_.ignored(); }

 private:
  std::string path_;
  OpenedFile file_;
  CsvRecords records_;
  RequestDefaults defaults_;
  Shard shard_;
  RequestColumns columns_;
  std::vector<std::string> record_;
  std::size_t position_ = 0;
  std::size_t count_ = 0;
};

class MemorySource : public RequestSource {
 public:
  MemorySource(RequestColumns columns, std::vector<std::vector<std::string>> records, RequestDefaults defaults)
      : columns_(std::move(columns)), records_(std::move(records)), defaults_(std::move(defaults)) {}

  bool Next(SourcedRequest& request) override {
    if (next_ >= records_.size()) return false;
    request = ReadRequest(columns_, records_[next_], defaults_.tables, defaults_.prefix);
    // Read once: its memory goes with it.
    std::vector<std::string>().swap(records_[next_]);
    ++next_;
    return true;
  }
  std::size_t Count() const override { return records_.size(); }
  const std::vector<std::string>& ignoredColumns() const override { return columns_.ignored(); }

 private:
  RequestColumns columns_;
  std::vector<std::vector<std::string>> records_;
  RequestDefaults defaults_;
  std::size_t next_ = 0;
};

}  // namespace

StatusOr<std::unique_ptr<RequestSource>> OpenRequestsFile(const std::string& path, const RequestDefaults& defaults,
                                                          Shard shard, bool countFirst) {
  OpenedFile file = OpenToRead(path);
  if (!file) return Status(Fault::InputMissing, "The requests file " + path + " cannot be read", path);
  auto source = std::make_unique<FileSource>(path, std::move(file), defaults, shard);
  if (Status s = source->Start(); !s.ok()) return s;
  if (countFirst) source->CountFirst();
  return std::unique_ptr<RequestSource>(std::move(source));
}

StatusOr<std::unique_ptr<RequestSource>> RequestsInMemory(std::vector<std::string> header,
                                                          std::vector<std::vector<std::string>> records,
                                                          const RequestDefaults& defaults) {
  StatusOr<RequestColumns> columns = RequestColumns::FromHeader(header);
  if (!columns.ok()) return columns.status();
  return std::unique_ptr<RequestSource>(
      std::make_unique<MemorySource>(std::move(columns).value(), std::move(records), defaults));
}

}  // namespace rill
