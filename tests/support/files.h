// Files and folders for tests: scratch folders that clean up after
// themselves, whole-file reads and writes, and the listing of a folder tree.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace rill::testing {

namespace fs = std::filesystem;

// A new, empty folder below the system's temporary folder, its name made of
// `stem` and a unique tail. It stays until the caller removes it.
inline fs::path MakeTempFolder(std::string_view stem) {
  std::string pattern = (fs::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a scratch folder from " + pattern);
  return fs::path(pattern);
}

// A fresh folder below the system's temporary folder, removed with everything
// in it when the object goes.
class ScratchDir {
 public:
  explicit ScratchDir(std::string_view stem = "rill-test") : path_(MakeTempFolder(stem)) {}
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const fs::path& path() const { return path_; }
  // The folder as a WorkPath: with its trailing separator.
  std::string work() const { return path_.string() + "/"; }

 private:
  fs::path path_;
};

// The bytes of a file, or nothing when it cannot be opened.
inline std::optional<std::string> ReadIfPresent(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of a file; empty when it cannot be opened.
inline std::string ReadAll(const fs::path& path) { return ReadIfPresent(path).value_or(std::string()); }

// The bytes of a file the test relies on: one that cannot be opened is an
// error of the test itself.
inline std::string ReadExisting(const fs::path& path) {
  std::optional<std::string> bytes = ReadIfPresent(path);
  if (!bytes) throw std::runtime_error("cannot read " + path.string());
  return *std::move(bytes);
}

// Makes the file hold exactly `bytes`, creating the folders above it; a file
// that cannot be written is an error of the test itself.
inline void WriteAll(const fs::path& path, std::string_view bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// What lies below `dir`, as sorted paths relative to it with '/' between
// the names: the regular files only, or with `everything` every entry, the
// folders ending with '/' so that a file and a folder of one name differ.
// Nothing when `dir` is no folder.
inline std::vector<std::string> ListTree(const fs::path& dir, bool everything) {
  std::vector<std::string> names;
  if (!fs::is_directory(dir)) return names;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string name = entry.path().lexically_relative(dir).generic_string();
    if (everything) {
      if (entry.is_directory()) name += '/';
    } else if (!entry.is_regular_file()) {
      continue;
    }
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace rill::testing
