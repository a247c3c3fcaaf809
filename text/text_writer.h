#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "text/block_writer.h"
#include "text/format.h"

namespace rill {

// Buffered text output to one file, opened in text mode ("w") so that a
// line end becomes CR LF on Windows. Remembers whether anything failed, so
// that the caller can tell a complete file from a broken one. A writer made
// by InMemory() keeps all its text for TakeText(); one made by Discarding()
// drops it before formatting, for a trace nobody reads.
class TextWriter {
 public:
  TextWriter() = default;
  static TextWriter InMemory();
  static TextWriter Discarding();
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;
  TextWriter(TextWriter&& other) noexcept;
  TextWriter& operator=(TextWriter&& other) noexcept;

  // Creates or truncates the file; false when it cannot be opened. With
  // `background` the full blocks are written by a second thread, in order,
  // while the caller goes on formatting; the bytes are the same.
  bool Open(const std::string& path, bool background = false);
  bool IsOpen() const { return file_ != nullptr; }

  // Whether text handed to this writer is dropped unread.
  bool Discards() const { return sink_ == Sink::Discard; }
  // The text kept so far by an in-memory writer, which starts empty again.
  std::string TakeText();

  void Write(std::string_view text);
  template <typename... Args>
  void Print(std::string_view format, const Args&... args) {
    if (sink_ == Sink::Discard) return;
    AppendPrintf(buffer_, format, args...);
    if (buffer_.size() >= kFlushAt) Spill();
  }

  // The same, for a format read when compiled (the trace's lines).
  template <typename... Args>
  void Print(const LineFormat& format, const Args&... args) {
    if (sink_ == Sink::Discard) return;
    AppendLine(buffer_, format, args...);
    if (buffer_.size() >= kFlushAt) Spill();
  }

  // Appends what `fill(std::string&)` appends: lines written by code
  // rather than from a format.
  template <typename Fill>
  void Append(const Fill& fill) {
    if (sink_ == Sink::Discard) return;
    fill(buffer_);
    if (buffer_.size() >= kFlushAt) Spill();
  }

  // Hands the buffered text to the operating system.
  void Flush();
  // Flushes and closes; true when every byte reached the file.
  bool Close();
  bool Failed() const { return failed_; }

 private:
  static constexpr std::size_t kFlushAt = 1 << 20;
  // Passes a full buffer on: to the writing thread, or to the file.
  void Spill();
  enum class Sink : unsigned char { File, Memory, Discard };
  Sink sink_ = Sink::File;
  std::FILE* file_ = nullptr;
  std::string buffer_;
  std::unique_ptr<BlockWriter> background_;  // only while a file is open with `background`
  bool failed_ = false;
};

}  // namespace rill
