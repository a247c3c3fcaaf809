#include "text/text_writer.h"

#include <utility>

namespace rill {

TextWriter::~TextWriter() { Close(); }

TextWriter TextWriter::InMemory() {
  TextWriter writer;
  writer.sink_ = Sink::Memory;
  return writer;
}

TextWriter TextWriter::Discarding() {
  TextWriter writer;
  writer.sink_ = Sink::Discard;
  return writer;
}

std::string TextWriter::TakeText() { return std::exchange(buffer_, std::string()); }

TextWriter::TextWriter(TextWriter&& other) noexcept
    : sink_(other.sink_),
      file_(std::exchange(other.file_, nullptr)),
      buffer_(std::move(other.buffer_)),
      background_(std::move(other.background_)),
      failed_(std::exchange(other.failed_, false)) {
  other.buffer_.clear();
}

TextWriter& TextWriter::operator=(TextWriter&& other) noexcept {
  if (this != &other) {
    Close();
    sink_ = other.sink_;
    file_ = std::exchange(other.file_, nullptr);
    buffer_ = std::move(other.buffer_);
    background_ = std::move(other.background_);
    other.buffer_.clear();
    failed_ = std::exchange(other.failed_, false);
  }
  return *this;
}

bool TextWriter::Open(const std::string& path, bool background) {
  Close();
  sink_ = Sink::File;
  failed_ = false;
  buffer_.clear();
  file_ = std::fopen(path.c_str(), "w");
  if (file_ != nullptr && background) background_ = std::make_unique<BlockWriter>(file_);
  return file_ != nullptr;
}

void TextWriter::Write(std::string_view text) {
  if (sink_ == Sink::Discard) return;
  buffer_.append(text);
  if (buffer_.size() >= kFlushAt) Spill();
}

void TextWriter::Spill() {
  if (background_ == nullptr || sink_ != Sink::File || file_ == nullptr) {
    Flush();
    return;
  }
  buffer_ = background_->Hand(std::move(buffer_));
  // A block that could not be written is known before the file is closed,
  // so that a caller checking Failed() stops early, as without the thread.
  if (background_->Failed()) failed_ = true;
}

void TextWriter::Flush() {
  if (sink_ == Sink::Memory) return;
  if (file_ == nullptr) {
    buffer_.clear();
    return;
  }
  if (background_ != nullptr) {
    if (!buffer_.empty()) buffer_ = background_->Hand(std::move(buffer_));
    if (!background_->Drain()) failed_ = true;
  } else if (!buffer_.empty()) {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
  }
  if (std::fflush(file_) != 0) failed_ = true;
}

bool TextWriter::Close() {
  if (file_ == nullptr) return !failed_;
  Flush();
  background_.reset();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

}  // namespace rill
