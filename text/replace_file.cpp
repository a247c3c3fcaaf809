#include "text/replace_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace rill {

namespace {

// Beside the file, so that the rename stays on one file system; hidden, so
// that a listing of the folder does not show it while it is written.
std::string TemporaryBeside(const std::string& path) {
  const std::filesystem::path p(path);
  return (p.parent_path() / ("." + p.filename().string() + ".partial")).string();
}

}  // namespace

PendingFile::PendingFile(std::string path) : path_(std::move(path)), temporary_(TemporaryBeside(path_)) {
  std::error_code error;
  std::filesystem::remove(temporary_, error);
}

PendingFile::~PendingFile() {
  if (committed_) return;
  std::error_code error;
  std::filesystem::remove(temporary_, error);
}

bool PendingFile::Commit() {
  std::error_code error;
  std::filesystem::rename(temporary_, path_, error);
  committed_ = !error;
  return committed_;
}

bool ReplaceFileWith(const std::string& path, std::string_view text) {
  PendingFile file(path);
  std::FILE* out = std::fopen(file.temporaryPath().c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  const bool closed = std::fclose(out) == 0;
  return written && closed && file.Commit();
}

}  // namespace rill
