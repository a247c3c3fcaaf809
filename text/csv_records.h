#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace rill {

// Reads comma-separated records one at a time: a field in double quotes may
// hold commas, line ends and doubled quotes; lines end with LF or CR LF;
// empty fields are fields. Reads through the caller's open file, which it
// does not own.
class CsvRecords {
 public:
  explicit CsvRecords(std::FILE* file) : file_(file) {}

  // The next record that holds anything: lines without a single byte
  // before their line end are passed over. False at the end of the file or
  // when it cannot be read further (see ReadFailed).
  bool Next(std::vector<std::string>& fields);
  // Whether the record just read ended inside a quoted field (the file ran out).
  bool UnclosedQuote() const { return unclosedQuote_; }
  bool ReadFailed() const { return std::ferror(file_) != 0; }

 private:
  int Get();
  void Unget() { --pos_; }

  std::FILE* file_;
  char buffer_[1 << 16];
  std::size_t pos_ = 0;
  std::size_t size_ = 0;
  bool unclosedQuote_ = false;
};

}  // namespace rill
