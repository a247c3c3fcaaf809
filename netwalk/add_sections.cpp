#include "netwalk/add_sections.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace rill {

namespace {

// Positions of the reach's sections ordered by F_meas, equal measures in
// table order. A section whose F_meas is NaN never continues a chain.
std::vector<std::size_t> ByFromMeasure(std::span<const SectionRecord> sections) {
  std::vector<std::size_t> order;
  order.reserve(sections.size());
  for (std::size_t i = 0; i < sections.size(); ++i)
    if (!std::isnan(sections[i].F_meas)) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return sections[a].F_meas < sections[b].F_meas; });
  return order;
}

}  // namespace

void AddSections(NavContext& ctx, std::int32_t comId, std::int32_t id, double measure, bool upstream) {
  if (!ctx.tables.HasInteriorInflowAt(id)) return;
  ctx.log.Print("Adding sections for: %d\n", comId);
  std::span<const SectionRecord> sections = ctx.tables.SectionsOf(comId);
  if (sections.empty()) return;

  const bool wholeReach = measure == -1.0;
  // A reach with sections but no row in the reach table has no length to
  // scale: its pieces are recorded with no meters.
  const ReachRecord* reach = ctx.tables.ReachByComId(comId);
  const std::vector<std::size_t> order = ByFromMeasure(sections);
  std::vector<bool> added(sections.size(), false);

  double previousTo = 0.0;
  for (;;) {
    std::size_t picked = sections.size();
    double bestTo = 999.0;
    bool found = false;
    double pieceFrom = 0.0;
    double pieceTo = 0.0;
    // The sections that start where the chain stands, in table order.
    auto first = std::lower_bound(order.begin(), order.end(), previousTo,
                                  [&](std::size_t i, double m) { return sections[i].F_meas < m; });
    auto last = std::upper_bound(first, order.end(), previousTo,
                                 [&](double m, std::size_t i) { return m < sections[i].F_meas; });
    for (auto it = first; it != last; ++it) {
      const std::size_t i = *it;
      const SectionRecord& s = sections[i];
      found = true;
      if (!upstream) continue;
      if (!wholeReach && s.T_meas < measure) {
        found = false;  // this section ends below the measure
        continue;
      }
      if (s.T_meas <= bestTo && !added[i]) {
        pieceFrom = s.F_meas;
        pieceTo = s.T_meas;
        bestTo = s.T_meas;
        picked = i;
      }
      if (!wholeReach && s.F_meas < measure) pieceFrom = measure;
    }
    if (!found || picked == sections.size()) return;

    ctx.log.Print("adding if not already there\n");
    const double meters = reach == nullptr ? 0.0 : (pieceTo - pieceFrom) / 100 * reach->Meters;
    ctx.state.specials.AppendSpecialCase({comId, pieceFrom, pieceTo, meters});
    previousTo = sections[picked].T_meas;
    added[picked] = true;
  }
}

}  // namespace rill
