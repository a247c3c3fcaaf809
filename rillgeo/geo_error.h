// The one failure type of rillgeo's work: a source or an output that cannot
// be used. It travels back to the entry point, which prints it and ends
// with status 1.
#pragma once

#include <stdexcept>
#include <string>

namespace rill::geo {

class GeoError : public std::runtime_error {
 public:
  explicit GeoError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace rill::geo
