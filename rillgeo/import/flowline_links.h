// Where flowlines meet: every pair (f, g) of different flowlines with
// f.ToNode equal to g.FromNode.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "rillgeo/import/flowline.h"

namespace rill::geo {

// Calls `visit(f, g)` with the indexes of every such pair, found through an
// index of FromNodes (no quadratic scan).
void ForEachLink(const std::vector<Flowline>& flowlines, const std::function<void(std::size_t, std::size_t)>& visit);

// Length of a flowline in whole metres from its LENGTHKM text.
std::int64_t MetersOf(const Flowline& flowline);

}  // namespace rill::geo
