// A synthetic river basin of any size, written as the navigator's three
// tables: the test ground for whole runs at national scale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rill::bench {

struct BasinShape {
  std::int32_t reaches = 100000;  // reaches written, distributaries and coast included
  std::uint64_t seed = 1;
};

// The two ends a benchmark walks between.
struct BasinEnds {
  std::string outlet;     // Rch_code of the reach every tree reach drains to
  std::string headwater;  // Rch_code of the headwater farthest from it
};

// Writes rchdata.txt, flowdata.txt and secdata.txt into `folder` (which ends
// with its separator). The same shape always gives the same bytes. Nothing
// when a file cannot be written.
std::optional<BasinEnds> WriteBasin(const BasinShape& shape, const std::string& folder);

}  // namespace rill::bench
