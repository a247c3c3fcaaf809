#pragma once

#include <string>
#include <string_view>

namespace rill {

// A file that replaces the one at `path` only once it is complete: whatever
// writes it writes to temporaryPath(), beside `path` on the same file
// system, and Commit() renames it over `path` in one step. Until then, and
// whenever Commit() fails or is never called, the old file (or its absence)
// stays as it was, and the temporary file is removed when the object goes.
class PendingFile {
 public:
  explicit PendingFile(std::string path);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  const std::string& path() const { return path_; }
  const std::string& temporaryPath() const { return temporary_; }
  // Renames the temporary file over `path`; false (and nothing changed at
  // `path`) when it cannot.
  bool Commit();

 private:
  std::string path_;
  std::string temporary_;
  bool committed_ = false;
};

// Writes `text` under a temporary name and renames it over `path`. False,
// with `path` untouched and nothing left behind, when that fails.
bool ReplaceFileWith(const std::string& path, std::string_view text);

}  // namespace rill
