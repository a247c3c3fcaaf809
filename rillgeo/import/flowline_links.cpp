#include "rillgeo/import/flowline_links.h"

#include <unordered_map>

#include "rillgeo/geometry/decimal_text.h"

namespace rill::geo {

void ForEachLink(const std::vector<Flowline>& flowlines, const std::function<void(std::size_t, std::size_t)>& visit) {
  std::unordered_multimap<std::int64_t, std::size_t> byFromNode;
  byFromNode.reserve(flowlines.size());
  for (std::size_t g = 0; g < flowlines.size(); ++g) byFromNode.emplace(flowlines[g].fromNode, g);
  for (std::size_t f = 0; f < flowlines.size(); ++f) {
    const auto [first, last] = byFromNode.equal_range(flowlines[f].toNode);
    for (auto it = first; it != last; ++it) {
      if (it->second != f) visit(f, it->second);
    }
  }
}

std::int64_t MetersOf(const Flowline& flowline) { return MetersRoundedHalfUp(*ReadPicoUnits(flowline.lengthKm)); }

}  // namespace rill::geo
