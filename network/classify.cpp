#include "network/classify.h"

namespace rill {

std::int16_t ClassifyBranched(const NetworkTables& tables, std::int32_t comId) {
  return BranchedOf(tables.SectionsOf(comId));
}

std::int16_t BranchedOf(std::span<const SectionRecord> sections) {
  bool above = false;
  bool below = false;
  for (const SectionRecord& s : sections) {
    if (s.F_meas > 100.0 || s.T_meas > 100.0) above = true;
    if (s.F_meas < 100.0 || s.T_meas < 100.0) below = true;
  }
  if (!above) return 0;
  return below ? 1 : 2;
}

std::int16_t ClassifyDivergent(const NetworkTables& tables, std::int32_t comId) {
  return DivergentOf(tables.RowsInto(comId).size(), tables.RowsFrom(comId).size());
}

std::int16_t DivergentOf(std::size_t rowsIn, std::size_t rowsOut) { return rowsIn < rowsOut ? 1 : 0; }

double JunctionMeasure(const NetworkTables& tables, std::int32_t current, std::int32_t receiving, std::int32_t dir,
                       TextWriter& log) {
  const SectionRecord& curFirst = tables.SectionsOf(current).front();
  const SectionRecord& recvFirst = tables.SectionsOf(receiving).front();
  const bool reversed = dir == kDirReversed;
  const bool traced = JunctionTraced(current, receiving);

  // A Dir 710 row leaves the receiving reach into the current reach's top;
  // any other row enters it from the current reach's bottom.
  std::int32_t node = 0;
  if (reversed) {
    const SectionRecord* top = tables.FirstSectionWithTMeas100(current);
    node = (top != nullptr ? *top : curFirst).Fnode;
  } else {
    const SectionRecord* bottom = tables.FirstSectionWithFMeas0(current);
    node = (bottom != nullptr ? *bottom : curFirst).Tnode;
  }
  if (traced) {
    log.Print("   Currrent: %d,  Receiving: %d\n", current, receiving);
    log.Print("   TNODE (FNODE-710) where fmeas = 0 (100-710) for current reach is %d\n", node);
  }
  const SectionRecord* found =
      reversed ? tables.FirstSectionTo(receiving, node) : tables.FirstSectionFrom(receiving, node);
  const SectionRecord& meet = found != nullptr ? *found : recvFirst;
  if (traced) {
    log.Print("   FNODE for receiving reach is %d\n", meet.Fnode);
    log.Print("   f_meas: %10.5f, t_meas: %10.5f\n", meet.F_meas, meet.T_meas);
  }
  return reversed ? meet.F_meas : meet.T_meas;
}

}  // namespace rill
