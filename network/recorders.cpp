#include "network/recorders.h"

namespace rill {

namespace {

// A section's piece as travelled downstream: entered at its top.
SpecialCaseRecord WholeSectionDown(std::int32_t comId, const SectionRecord& s) {
  return {comId, s.T_meas, s.F_meas, static_cast<double>(s.Meters)};
}

// The node where water leaves a reach with sections: the Tnode of its
// first section from measure 0, else of its first section.
std::int32_t LeavingNode(const NetworkTables& tables, std::int32_t comId) {
  const SectionRecord* bottom = tables.FirstSectionWithFMeas0(comId);
  return bottom != nullptr ? bottom->Tnode : tables.SectionsOf(comId).front().Tnode;
}

// Follows the sections of a reach downstream from `node`, recording each,
// until no section starts there, a piece repeats, or as many pieces as the
// reach has sections were taken (a loop of sections must still end).
void FollowSectionsDown(const NetworkTables& tables, SpecialCaseList& list, std::int32_t comId, std::int32_t node) {
  const std::size_t count = tables.SectionsOf(comId).size();
  for (std::size_t taken = 0; taken < count; ++taken) {
    const SectionRecord* next = tables.FirstSectionFrom(comId, node);
    if (next == nullptr) return;
    node = next->Tnode;
    SpecialCaseRecord piece = WholeSectionDown(comId, *next);
    if (list.HasSpecialCase(piece.Com_id, piece.f_meas, piece.t_meas)) return;
    list.AppendSpecialCase(piece);
  }
}

}  // namespace

void RecordInteriorJunction(const NetworkTables& tables, SpecialCaseList& list, std::int32_t comId, double m,
                            bool upward) {
  const ReachRecord* reach = tables.ReachByComId(comId);
  if (reach == nullptr) return;
  double meters = upward ? (100 - m) / 100 * reach->Meters : m / 100 * reach->Meters;
  list.AppendSpecialCase({comId, m, upward ? 100.0 : 0.0, meters});
}

void RecordBranchedEntry(const NetworkTables& tables, SpecialCaseList& list, std::int32_t a, std::int32_t b,
                         std::int16_t& fallbackUsed) {
  std::span<const SectionRecord> sections = tables.SectionsOf(b);
  if (tables.SectionsOf(a).empty() || sections.empty()) return;
  std::int32_t node = LeavingNode(tables, a);
  std::int32_t prev = -9999;
  for (std::size_t taken = 0; taken < sections.size(); ++taken) {
    const SectionRecord* current = tables.FirstSectionFrom(b, node, prev);
    std::int32_t next = 0;
    if (current != nullptr) {
      next = current->Tnode;
    } else {
      // No section leaves the node downstream: take one that ends there.
      fallbackUsed = 1;
      current = tables.FirstSectionTo(b, node, prev);
      if (current == nullptr) current = &sections.front();
      next = current->Fnode;
    }
    if (current->F_meas >= 0.0 && current->T_meas <= 100.0) {
      // Back in the main range: the rest of the reach below the junction.
      const std::int64_t below = tables.MetersBelow(b, current->T_meas);
      list.AppendSpecialCase({b, current->T_meas, 0.0, static_cast<double>(below)});
      return;
    }
    SpecialCaseRecord piece = WholeSectionDown(b, *current);
    if (list.HasSpecialCase(piece.Com_id, piece.f_meas, piece.t_meas)) return;
    list.AppendSpecialCase(piece);
    prev = node;
    node = next;
  }
}

void RecordLakeEntry(const NetworkTables& tables, SpecialCaseList& list, std::int32_t a, std::int32_t b) {
  if (tables.SectionsOf(a).empty()) return;
  FollowSectionsDown(tables, list, b, LeavingNode(tables, a));
}

void RecordStartSections(const NetworkTables& tables, SpecialCaseList& list, std::int32_t c, double m) {
  std::span<const SectionRecord> sections = tables.SectionsOf(c);
  if (sections.empty()) return;
  const SectionRecord* start = nullptr;
  for (const SectionRecord& s : sections)
    if (s.F_meas <= m && m <= s.T_meas) {
      start = &s;
      break;
    }
  if (start == nullptr) {
    // No section holds the start: start inside the first one instead.
    start = &sections.front();
    if (m < start->F_meas)
      m = start->F_meas;
    else if (m > start->T_meas)
      m = start->T_meas;
  }
  double meters =
      start->F_meas == start->T_meas ? 0.0 : (m - start->F_meas) * start->Meters / (start->T_meas - start->F_meas);
  list.AppendSpecialCase({c, m, start->F_meas, meters});
  FollowSectionsDown(tables, list, c, start->Tnode);
}

}  // namespace rill
