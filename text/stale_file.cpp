#include "text/stale_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace rill {

bool ClearStaleFile(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  // status() follows links: a link to a regular file is removed (the link
  // itself), a link to a folder or a device is not.
  const fs::file_status target = fs::status(path, error);
  // Nothing there (or a dangling link): a new file may be written.
  if (target.type() == fs::file_type::not_found) return true;
  if (error || target.type() != fs::file_type::regular) return false;
  return std::remove(path.c_str()) == 0;
}

}  // namespace rill
