#include <algorithm>
#include <numeric>
#include <tuple>

#include "rillgeo/import/flowline_links.h"
#include "rillgeo/import/network_mapping.h"

namespace rill::geo {

ImportedTables MapByFlowline(const std::vector<Flowline>& flowlines) {
  std::vector<std::size_t> order(flowlines.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const Flowline& x = flowlines[a];
    const Flowline& y = flowlines[b];
    return std::tie(x.reachCode, x.fromMeas, x.comId) < std::tie(y.reachCode, y.fromMeas, y.comId);
  });

  ImportedTables tables;
  for (std::size_t i : order) {
    const Flowline& f = flowlines[i];
    const std::int64_t meters = MetersOf(f);
    tables.reaches.push_back({f.comId, f.reachCode, f.date, f.streamLevel, meters, f.hydroseq});
    tables.sections.push_back({0.0, 100.0, f.fromNode, f.toNode, f.comId, meters});
    if (f.headwater) tables.flows.push_back({0, f.comId, 0, 712, 0});
  }
  ForEachLink(flowlines, [&](std::size_t up, std::size_t down) {
    const Flowline& f = flowlines[up];
    const Flowline& g = flowlines[down];
    tables.flows.push_back({f.comId, g.comId, 0, g.coastline ? 714 : 709, f.levelPath == g.levelPath ? 0 : 1});
  });
  SortFlowRows(tables.flows);
  return tables;
}

}  // namespace rill::geo
