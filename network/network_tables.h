#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "network/id_index.h"
#include "network/records.h"

namespace rill {

// The three loaded tables and the indexes built over them once, at load.
// Reaches and flow rows stand in file order (duplicates removed); sections
// stand in Com_id order, the sections of one reach in file order. Every
// lookup answers what a search in the file-ordered tables would answer.
class NetworkTables {
 public:
  const std::vector<ReachRecord>& reaches() const { return reaches_; }
  const std::vector<FlowRecord>& flows() const { return flows_; }
  const std::vector<SectionRecord>& sections() const { return sections_; }

  // Index of the first section of a reach, or -1.
  std::int32_t FirstSectionOf(std::int32_t comId) const;
  // All sections of a reach, in file order; empty when it has none.
  std::span<const SectionRecord> SectionsOf(std::int32_t comId) const;
  // Index of the first reach in file order with exactly this code, or -1.
  std::int32_t FindReachByRchCode(std::string_view code) const;
  // Index of the reach with this Com_id, or -1.
  std::int32_t FindReachByComId(std::int32_t comId) const;
  // The reach with this Com_id, or nullptr.
  const ReachRecord* ReachByComId(std::int32_t comId) const;
  // Indexes of the flow rows leaving (Com_id1) or entering (Com_id2) a
  // reach, in file order.
  std::span<const std::int32_t> RowsFrom(std::int32_t comId) const;
  std::span<const std::int32_t> RowsInto(std::int32_t comId) const;
  // Whether some row enters the reach at an interior junction (Sequence > 0).
  bool HasInteriorInflow(std::int32_t comId) const;

  // Building, in load order: sections, then flows, then reaches.
  void AppendSection(const SectionRecord& section) { sections_.push_back(section); }
  void SealSections();
  void AppendFlow(const FlowRecord& flow) { flows_.push_back(flow); }
  void SealFlows();
  void AppendReach(const ReachRecord& reach) { reaches_.push_back(reach); }
  void SealReaches();

 private:
  std::span<const std::int32_t> Block(const std::vector<std::int32_t>& order, const IdIndex& index,
                                      std::int32_t comId, bool byFrom) const;

  std::vector<ReachRecord> reaches_;
  std::vector<FlowRecord> flows_;
  std::vector<SectionRecord> sections_;

  IdIndex sectionStart_;                 // Com_id -> first section
  std::vector<std::int32_t> rowsByFrom_; // flow rows ordered by Com_id1, then file order
  std::vector<std::int32_t> rowsByTo_;   // flow rows ordered by Com_id2, then file order
  IdIndex fromStart_;                    // Com_id -> first position in rowsByFrom_
  IdIndex toStart_;                      // Com_id -> first position in rowsByTo_
  IdIndex reachByComId_;                 // Com_id -> reach index
  std::vector<std::int32_t> reachesByCode_;  // reach indexes ordered by code, then file order
};

}  // namespace rill
