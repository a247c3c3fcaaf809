// Writing a file's text on a second thread: the formatting of the next block
// overlaps the copy of the last one into the operating system.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace rill {

// Writes the blocks handed to it to one open file, in the order they were
// handed, on a thread of its own. Buffers come back emptied with their
// capacity, so a long run touches the same few blocks of memory over and
// over. Where the platform has no threads the blocks are written at once.
class BlockWriter {
 public:
  // Does not own `file`; it must stay open until the writer is gone.
  explicit BlockWriter(std::FILE* file);
  ~BlockWriter();
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Queues a block (waiting while a few are already queued) and gives an
  // empty buffer back.
  std::string Hand(std::string&& block);
  // Waits until every block handed so far is in the file's buffer; false
  // when some write failed.
  bool Drain();
  // Whether a block written so far failed, without waiting for the others.
  bool Failed() const;

 private:
  struct Queue;
  std::FILE* file_;
  std::unique_ptr<Queue> queue_;
};

}  // namespace rill
