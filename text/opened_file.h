#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace rill {

// A C file that closes itself.
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using OpenedFile = std::unique_ptr<std::FILE, FileCloser>;

// The file at `path` opened for reading its bytes; empty when it cannot be.
inline OpenedFile OpenToRead(const std::string& path) { return OpenedFile(std::fopen(path.c_str(), "rb")); }

}  // namespace rill
