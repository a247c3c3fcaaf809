#include "network/classify.h"

namespace rill {

std::int16_t ClassifyBranched(const NetworkTables& tables, std::int32_t comId) {
  bool above = false;
  bool below = false;
  for (const SectionRecord& s : tables.SectionsOf(comId)) {
    if (s.F_meas > 100.0 || s.T_meas > 100.0) above = true;
    if (s.F_meas < 100.0 || s.T_meas < 100.0) below = true;
  }
  if (!above) return 0;
  return below ? 1 : 2;
}

std::int16_t ClassifyDivergent(const NetworkTables& tables, std::int32_t comId) {
  std::size_t in = tables.RowsInto(comId).size();
  std::size_t out = tables.RowsFrom(comId).size();
  return in < out ? 1 : 0;
}

std::int32_t DownstreamEndNode(std::span<const SectionRecord> sections) {
  for (const SectionRecord& s : sections)
    if (s.F_meas == 0.0) return s.Tnode;
  return sections.front().Tnode;
}

namespace {

template <typename Pred>
const SectionRecord& FirstOr(std::span<const SectionRecord> sections, Pred pred) {
  for (const SectionRecord& s : sections)
    if (pred(s)) return s;
  return sections.front();
}

}  // namespace

double JunctionMeasure(const NetworkTables& tables, std::int32_t current, std::int32_t receiving,
                       std::int32_t dir, TextWriter& log) {
  std::span<const SectionRecord> cur = tables.SectionsOf(current);
  std::span<const SectionRecord> recv = tables.SectionsOf(receiving);
  const bool reversed = dir == kDirReversed;
  const bool traced = current == 918 || receiving == 918;

  // A Dir 710 row leaves the receiving reach into the current reach's top;
  // any other row enters it from the current reach's bottom.
  std::int32_t node = reversed ? FirstOr(cur, [](const SectionRecord& s) { return s.T_meas == 100.0; }).Fnode
                               : DownstreamEndNode(cur);
  if (traced) {
    log.Print("   Currrent: %d,  Receiving: %d\n", current, receiving);
    log.Print("   TNODE (FNODE-710) where fmeas = 0 (100-710) for current reach is %d\n", node);
  }
  const SectionRecord& meet =
      reversed ? FirstOr(recv, [node](const SectionRecord& s) { return s.Tnode == node; })
               : FirstOr(recv, [node](const SectionRecord& s) { return s.Fnode == node; });
  if (traced) {
    log.Print("   FNODE for receiving reach is %d\n", meet.Fnode);
    log.Print("   f_meas: %10.5f, t_meas: %10.5f\n", meet.F_meas, meet.T_meas);
  }
  return reversed ? meet.F_meas : meet.T_meas;
}

}  // namespace rill
