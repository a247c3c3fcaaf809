#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "network/prefetch.h"
#include "network/records.h"
#include "network/sorted_ids.h"

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
  // The first section of a reach, in file order, that starts at `node`
  // (its Fnode) or ends there (its Tnode), or nullptr. The three-argument
  // forms pass over sections whose other node is `notTnode` / `notFnode`.
  const SectionRecord* FirstSectionFrom(std::int32_t comId, std::int32_t node) const;
  const SectionRecord* FirstSectionFrom(std::int32_t comId, std::int32_t node, std::int32_t notTnode) const;
  const SectionRecord* FirstSectionTo(std::int32_t comId, std::int32_t node) const;
  const SectionRecord* FirstSectionTo(std::int32_t comId, std::int32_t node, std::int32_t notFnode) const;
  // The first section of a reach, in file order, whose F_meas is exactly 0
  // (or whose T_meas is exactly 100; -0.0 counts as 0), or nullptr.
  const SectionRecord* FirstSectionWithFMeas0(std::int32_t comId) const;
  const SectionRecord* FirstSectionWithTMeas100(std::int32_t comId) const;
  // The summed Meters of a reach's sections whose F_meas is below `measure`
  // (a NaN F_meas is below nothing, and nothing is below NaN).
  std::int64_t MetersBelow(std::int32_t comId, double measure) const;
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

  // Every Com_id the tables hold (reaches, both ends of the flow rows,
  // sections) has a dense id in [0, idCount()), its rank among them: a walk
  // resolves its start once and then follows the ids flow rows carry.
  std::int32_t IdOf(std::int32_t comId) const { return ids_.Find(comId); }
  std::size_t idCount() const { return entries_.size(); }
  // The lookups above by dense id; an id of -1 has nothing.
  std::int32_t ReachAt(std::int32_t id) const { return id < 0 ? -1 : entries_[static_cast<std::size_t>(id)].reach; }
  const ReachRecord* ReachRecordAt(std::int32_t id) const {
    const std::int32_t i = ReachAt(id);
    return i < 0 ? nullptr : &reaches_[static_cast<std::size_t>(i)];
  }
  // Start fetching what a walk step reads of the reach with dense id `id`:
  // its entry; then, once the entry is at hand, its record and rows in.
  // Asked a few steps ahead, the step finds them in the cache.
  void PrefetchEntry(std::int32_t id) const {
    if (id >= 0) PrefetchRead(&entries_[static_cast<std::size_t>(id)]);
  }
  void PrefetchStep(std::int32_t id) const;
  std::span<const std::int32_t> RowsFromAt(std::int32_t id) const;
  std::span<const std::int32_t> RowsIntoAt(std::int32_t id) const;
  bool HasInteriorInflowAt(std::int32_t id) const;

  // Building, in load order: sections, then flows, then reaches.
  void AppendSection(const SectionRecord& section) { sections_.push_back(section); }
  // Whole tables at once: taken over when nothing was appended before, so
  // that a large table is neither copied nor grown step by step.
  void AppendSections(std::vector<SectionRecord>&& sections) { Adopt(sections_, std::move(sections)); }
  void AppendFlows(std::vector<FlowRecord>&& flows) { Adopt(flows_, std::move(flows)); }
  void AppendReaches(std::vector<ReachRecord>&& reaches) { Adopt(reaches_, std::move(reaches)); }
  // `order`, when given, is the sections' KeyedOrder by Com_id, sorted by
  // the caller already; otherwise it is sorted here.
  void SealSections(std::vector<std::uint64_t> order = {});
  void AppendFlow(const FlowRecord& flow) { flows_.push_back(flow); }
  // `concurrent`: the two row orders are built on two threads.
  void SealFlows(bool concurrent = false);
  void AppendReach(const ReachRecord& reach) { reaches_.push_back(reach); }
  void SealReaches();

  // While a load reads its reaches, before they are appended: decides which
  // records are the first with their Com_id (counting the reaches appended
  // before them), records those as the reaches of their ids at the
  // positions they take once the others are left out, and sets their
  // Branched and Divergent from the sealed sections and flows. Answers the
  // positions in `records` of the others, ascending. The work goes in Com_id
  // order, so that no id is looked up at random. When every reach appended
  // was claimed, SealReaches has nothing left to look up.
  // `order`, when given, is the records' KeyedOrder by Com_id.
  std::vector<std::size_t> ClaimReaches(std::span<ReachRecord> records, std::vector<std::uint64_t> order = {});

 private:
  template <typename Record>
  static void Adopt(std::vector<Record>& table, std::vector<Record>&& records) {
    if (table.empty())
      table = std::move(records);
    else
      table.insert(table.end(), records.begin(), records.end());
  }
  // The sections of one reach: sections_[begin, end), and the first of them
  // with F_meas 0 and with T_meas 100 (-1 when none). Most reaches have one
  // section, which needs no order of its own: only a reach of several has
  // its orders, at `ordered` in the orders below (-1 for one section).
  struct SectionRun {
    std::int32_t begin = 0;
    std::int32_t end = 0;
    std::int32_t fMeas0 = -1;
    std::int32_t tMeas100 = -1;
    std::int32_t ordered = -1;
  };
  // The sections of each reach of several ordered by one of their end
  // nodes, equal nodes in file order: order[run.ordered + k] is the section
  // index of the run's k-th in that order. skip[j] is the next position
  // after j in that order whose node or other node differs from j's, so
  // that the first section at a node whose other node is not a given one is
  // found in at most two steps.
  struct NodeOrder {
    std::int32_t SectionRecord::*node;
    std::int32_t SectionRecord::*other;
    std::vector<std::int32_t> order;
    std::vector<std::int32_t> skip;
  };
  const SectionRun* RunOf(std::int32_t comId) const;
  void BuildNodeOrder(NodeOrder& index);
  void BuildMetersBelow();
  // The reach's first section at `node` in the index's order, passing over
  // those whose other node is `notOther` when one is given.
  const SectionRecord* FirstAtNode(const NodeOrder& index, std::int32_t comId, std::int32_t node,
                                   std::optional<std::int32_t> notOther) const;

  // Everything the indexes know of one Com_id. A walk step asks several of
  // them about the same reach: found through one index, they share one
  // cache miss instead of taking one each.
  struct IdEntry {
    std::int32_t reach = -1;    // the first reach in file order with this Com_id
    std::int32_t run = -1;      // its entry in sectionRuns_
    std::int32_t from = -1;     // its block in rowsFrom_
    std::int32_t into = -1;     // its block in rowsInto_
    bool interior = false;      // a row of its rowsInto_ block has Sequence > 0
    std::int16_t branched = 0;  // BranchedOf its sections, found while they are sealed
  };
  const IdEntry* EntryOf(std::int32_t comId) const;
  // Makes `fresh` (ascending, distinct) Com_ids of the tables: their
  // entries are made, and the entries and flow row ids already there are
  // renumbered by rank when new ids fall between them.
  void AdoptIds(const std::vector<std::int32_t>& fresh);
  // Records the first reach in file order of each Com_id in its entry.
  void IndexReaches();

  // Flow rows in one order, cut into the blocks of equal key.
  struct RowBlocks {
    std::vector<std::int32_t> rows;    // flow row indexes, by key, then file order
    std::vector<std::int32_t> starts;  // where each block begins in `rows`, then rows.size()
    std::span<const std::int32_t> Block(std::int32_t block) const;
  };
  // Cuts `rows` into blocks, records each block in the entry of its key and
  // the entry of each row's key in the row's `rowId`. `keyed` holds each
  // row's key in the high half, the row in the low half; every key is
  // adopted already. `keyed` is used up. `backwards`: the rows' ids are
  // written from the last row.
  RowBlocks MakeBlocks(std::vector<std::uint64_t>& keyed, std::int32_t IdEntry::*field, std::int32_t FlowRecord::*rowId,
                       bool backwards);
  // Writes each pair's entry (low half) into the `rowId` of its row (high
  // half); the pairs are reordered.
  void WriteRowIds(std::vector<std::uint64_t>& pairs, std::int32_t FlowRecord::*rowId, bool backwards);

  std::vector<ReachRecord> reaches_;
  std::vector<FlowRecord> flows_;
  std::vector<SectionRecord> sections_;

  SortedIds ids_;                        // Com_id -> its rank, the index of its entry
  std::vector<IdEntry> entries_;         // one per Com_id, in Com_id order
  std::vector<SectionRun> sectionRuns_;  // one per reach with sections, in Com_id order
  NodeOrder byFnode_{&SectionRecord::Fnode, &SectionRecord::Tnode, {}, {}};
  NodeOrder byTnode_{&SectionRecord::Tnode, &SectionRecord::Fnode, {}, {}};
  // Per reach run of several sections, at its `ordered`: its F_meas values
  // ascending (NaN last) and the running sum of Meters in that order, so
  // that the Meters below a measure are a binary search away.
  std::vector<double> fMeasAscending_;
  std::vector<std::int64_t> metersUpTo_;
  std::size_t orderedSections_ = 0;          // the sections of the runs of several
  RowBlocks rowsFrom_;                       // by Com_id1
  RowBlocks rowsInto_;                       // by Com_id2
  std::vector<std::int32_t> reachesByCode_;  // reach indexes ordered by code, then file order
  std::size_t claimed_ = 0;                  // the leading reaches whose entries record them
};

}  // namespace rill
