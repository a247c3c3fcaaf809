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

// A source that opens but cannot be used as the options ask (no coordinate
// columns, a column named that is not there): the entry point ends with
// status 2, as for an option it cannot parse.
class OptionError : public GeoError {
 public:
  explicit OptionError(const std::string& message) : GeoError(message) {}
};

}  // namespace rill::geo
