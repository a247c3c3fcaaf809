#include "rillgeo/geometry/whole_file.h"

#include "navigation/navigation.h"

namespace rill::geo {

Status ReplaceFile(const std::string& path, const std::string& text) {
  if (!ReplaceFileWith(path, text)) return Status(Fault::OutputFailed, path + " could not be written");
  return Status::Ok();
}

}  // namespace rill::geo
