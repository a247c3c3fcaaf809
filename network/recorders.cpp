#include "network/recorders.h"

#include "network/classify.h"

namespace rill {

namespace {

// A section's piece as travelled downstream: entered at its top.
SpecialCaseRecord WholeSectionDown(std::int32_t comId, const SectionRecord& s) {
  return {comId, s.T_meas, s.F_meas, static_cast<double>(s.Meters)};
}

// Follows the sections of a reach downstream from `node`, recording each,
// until no section starts there, a piece repeats, or as many pieces as the
// reach has sections were taken (a loop of sections must still end).
void FollowSectionsDown(SpecialCaseList& list, std::int32_t comId, std::span<const SectionRecord> sections,
                        std::int32_t node) {
  for (std::size_t taken = 0; taken < sections.size(); ++taken) {
    const SectionRecord* next = nullptr;
    for (const SectionRecord& s : sections)
      if (s.Fnode == node) {
        next = &s;
        break;
      }
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
  std::span<const SectionRecord> fromSections = tables.SectionsOf(a);
  std::span<const SectionRecord> sections = tables.SectionsOf(b);
  if (fromSections.empty() || sections.empty()) return;
  std::int32_t node = DownstreamEndNode(fromSections);
  std::int32_t prev = -9999;
  for (std::size_t taken = 0; taken < sections.size(); ++taken) {
    const SectionRecord* current = nullptr;
    std::int32_t next = 0;
    for (const SectionRecord& s : sections)
      if (s.Fnode == node && s.Tnode != prev) {
        current = &s;
        next = s.Tnode;
        break;
      }
    if (current == nullptr) {
      // No section leaves the node downstream: take one that ends there.
      fallbackUsed = 1;
      current = &sections.front();
      for (const SectionRecord& s : sections)
        if (s.Tnode == node && s.Fnode != prev) {
          current = &s;
          break;
        }
      next = current->Fnode;
    }
    if (current->F_meas >= 0.0 && current->T_meas <= 100.0) {
      // Back in the main range: the rest of the reach below the junction.
      std::int64_t below = 0;
      for (const SectionRecord& s : sections)
        if (s.F_meas < current->T_meas) below += s.Meters;
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
  std::span<const SectionRecord> fromSections = tables.SectionsOf(a);
  if (fromSections.empty()) return;
  FollowSectionsDown(list, b, tables.SectionsOf(b), DownstreamEndNode(fromSections));
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
  double meters = start->F_meas == start->T_meas
                      ? 0.0
                      : (m - start->F_meas) * start->Meters / (start->T_meas - start->F_meas);
  list.AppendSpecialCase({c, m, start->F_meas, meters});
  FollowSectionsDown(list, c, sections, start->Tnode);
}

}  // namespace rill
