// Small helpers shared by the fuzz targets.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace rill::fuzz {

[[noreturn]] inline void Fail(const char* target, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", target, what.c_str());
  std::abort();
}

// A folder of this process under the temporary folder (TMPDIR), made on
// first use; the fuzz script gives every run a fresh TMPDIR and removes it.
inline std::string ScratchFolder() {
  namespace fs = std::filesystem;
  fs::path folder = fs::temp_directory_path() / ("rill-fuzz-" + std::to_string(::getpid()));
  std::error_code ignored;
  fs::create_directories(folder, ignored);
  return folder.string() + "/";
}

inline std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace rill::fuzz
