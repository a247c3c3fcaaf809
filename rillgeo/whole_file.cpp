#include "rillgeo/whole_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "rillgeo/geo_error.h"

namespace rill::geo {

void ReplaceFile(const std::string& path, const std::string& text) {
  namespace fs = std::filesystem;
  const std::string partial = path + ".rillgeo-partial";
  std::error_code error;
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
      fs::remove(partial, error);
      throw GeoError(path + " could not be written");
    }
  }
  fs::rename(partial, path, error);
  if (error) {
    fs::remove(partial, error);
    throw GeoError(path + " could not be written");
  }
}

}  // namespace rill::geo
