#include "rillgeo/geometry/whole_file.h"

#include "navigation/navigation.h"
#include "rillgeo/geometry/geo_error.h"

namespace rill::geo {

void ReplaceFile(const std::string& path, const std::string& text) {
  if (!ReplaceFileWith(path, text)) throw GeoError(path + " could not be written");
}

}  // namespace rill::geo
