// The text of one table, handed to the parser in blocks of whole lines.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/opened_file.h"

namespace rill {

// A table given as text is one block. A table file is read in large blocks
// into one buffer used again for every block: a table of a gigabyte then
// needs neither a gigabyte of memory beside its records nor fresh pages for
// it, and the load's memory and page faults stay in proportion to the records.
class TableText {
 public:
  TableText(std::string text);  // NOLINT(google-explicit-constructor): tables given as text
  // Large enough that a table costs a few reads, small enough to stay in
  // the caches while it is parsed.
  static constexpr std::size_t kBlockBytes = std::size_t{8} << 20;
  // Opens a table file and counts its lines; nothing when it cannot be
  // opened or read. What is not a regular file (a pipe) is read whole.
  static std::optional<TableText> Open(const std::string& path, std::size_t blockBytes = kBlockBytes);

  // An upper bound of the lines, to size a table once.
  std::size_t lines() const { return lines_; }
  // The next block of whole lines (the last one may lack its line feed);
  // false at the end, or when a read failed.
  bool NextBlock(std::string_view& block);
  bool Failed() const { return failed_; }

 private:
  TableText() = default;

  OpenedFile file_;  // none: the whole text is in buffer_
  std::string buffer_;
  std::size_t begin_ = 0;  // buffer_[begin_, end_) is read but not yet handed out
  std::size_t end_ = 0;
  std::size_t lines_ = 1;
  bool handedWhole_ = false;
  bool failed_ = false;
};

}  // namespace rill
