#include "network/table_text.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace rill {

namespace {

std::size_t LineFeeds(const char* text, std::size_t size) {
  return static_cast<std::size_t>(std::count(text, text + size, '\n'));
}

}  // namespace

TableText::TableText(std::string text) : buffer_(std::move(text)), end_(buffer_.size()) {
  lines_ = LineFeeds(buffer_.data(), buffer_.size()) + 1;
}

std::optional<TableText> TableText::Open(const std::string& path, std::size_t blockBytes) {
  TableText text;
  text.file_ = OpenToRead(path);
  if (!text.file_) return std::nullopt;
  std::FILE* file = text.file_.get();
  std::error_code error;
  const bool regular = std::filesystem::is_regular_file(path, error);
  text.buffer_.resize(blockBytes == 0 ? 1 : blockBytes);
  std::size_t got;
  std::size_t feeds = 0;
  std::string whole;
  while ((got = std::fread(text.buffer_.data(), 1, text.buffer_.size(), file)) > 0) {
    feeds += LineFeeds(text.buffer_.data(), got);
    if (!regular) whole.append(text.buffer_.data(), got);
  }
  // A folder opens on some systems but cannot be read: it is no table.
  if (std::ferror(file) != 0) return std::nullopt;
  text.lines_ = feeds + 1;
  if (!regular) {
    // A pipe cannot be read twice: its text is kept whole.
    text.file_.reset();
    text.buffer_ = std::move(whole);
    text.end_ = text.buffer_.size();
    return text;
  }
  std::rewind(file);
  return text;
}

bool TableText::NextBlock(std::string_view& block) {
  if (!file_) {
    if (handedWhole_ || buffer_.empty()) return false;
    handedWhole_ = true;
    block = buffer_;
    return true;
  }
  // The part of a line left over from the last block comes first.
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  for (;;) {
    if (end_ == buffer_.size()) buffer_.resize(2 * buffer_.size());  // a line longer than a block
    const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_.get());
    if (got == 0) {
      if (std::ferror(file_.get()) != 0) failed_ = true;
      if (failed_ || end_ == 0) return false;
      block = std::string_view(buffer_.data(), end_);
      begin_ = end_;
      return true;
    }
    const std::size_t from = end_;
    end_ += got;
    for (std::size_t i = end_; i-- > from;) {
      if (buffer_[i] != '\n') continue;
      block = std::string_view(buffer_.data(), i + 1);
      begin_ = i + 1;
      return true;
    }
  }
}

}  // namespace rill
