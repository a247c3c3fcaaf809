#include "network/network_tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "network/classify.h"
#include "network/keyed_order.h"
#include "network/prefetch.h"
#include "network/run_both.h"

namespace rill {

namespace {

// How far ahead the loops that look up ids at random fetch their slots.
constexpr std::size_t kAhead = 16;

std::int32_t PositionOf(std::uint64_t keyed) { return KeyedPosition(keyed); }
std::int32_t KeyOf(std::uint64_t keyed) { return KeyedKey(keyed); }

// Ranks of ascending keys among the ascending ids that hold them all, found
// by walking the ids forward: a merge, in order, instead of a search each.
class RankCursor {
 public:
  explicit RankCursor(const std::vector<std::int32_t>& ids) : ids_(ids) {}
  std::size_t RankOf(std::int32_t key) {
    while (ids_[at_] < key) ++at_;
    return at_;
  }

 private:
  const std::vector<std::int32_t>& ids_;
  std::size_t at_ = 0;
};

}  // namespace

void NetworkTables::SealSections(std::vector<std::uint64_t> order) {
  if (order.size() != sections_.size())
    order = KeyedOrder(sections_.size(), [&](std::size_t i) { return sections_[i].Com_id; });
  std::vector<SectionRecord> sorted;
  sorted.reserve(sections_.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (i + kAhead < order.size()) PrefetchRead(&sections_[static_cast<std::size_t>(PositionOf(order[i + kAhead]))]);
    sorted.push_back(sections_[static_cast<std::size_t>(PositionOf(order[i]))]);
  }
  sections_ = std::move(sorted);
  std::vector<std::int32_t> distinct = DistinctKeys(order);
  order = {};
  AdoptIds(distinct);
  for (IdEntry& e : entries_) {
    e.run = -1;
    e.branched = 0;
  }
  std::size_t reaches = 0;
  for (std::size_t i = 0; i < sections_.size(); ++i)
    if (i == 0 || sections_[i].Com_id != sections_[i - 1].Com_id) ++reaches;
  sectionRuns_.clear();
  sectionRuns_.reserve(reaches);
  RankCursor ranks(ids_.ids());
  std::size_t entry = 0;  // the entry of the current run
  auto classify = [&] {
    const SectionRun& run = sectionRuns_.back();
    entries_[entry].branched = BranchedOf(std::span<const SectionRecord>(sections_).subspan(
        static_cast<std::size_t>(run.begin), static_cast<std::size_t>(run.end - run.begin)));
  };
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const SectionRecord& s = sections_[i];
    const auto at = static_cast<std::int32_t>(i);
    if (i == 0 || s.Com_id != sections_[i - 1].Com_id) {
      if (i > 0) classify();
      entry = ranks.RankOf(s.Com_id);
      entries_[entry].run = static_cast<std::int32_t>(sectionRuns_.size());
      sectionRuns_.push_back({at, at, -1, -1, -1});
    }
    SectionRun& run = sectionRuns_.back();
    run.end = at + 1;
    if (run.fMeas0 < 0 && s.F_meas == 0.0) run.fMeas0 = at;
    if (run.tMeas100 < 0 && s.T_meas == 100.0) run.tMeas100 = at;
  }
  if (!sections_.empty()) classify();
  orderedSections_ = 0;
  for (SectionRun& run : sectionRuns_) {
    if (run.end - run.begin == 1) continue;
    run.ordered = static_cast<std::int32_t>(orderedSections_);
    orderedSections_ += static_cast<std::size_t>(run.end - run.begin);
  }
  BuildNodeOrder(byFnode_);
  BuildNodeOrder(byTnode_);
  BuildMetersBelow();
}

void NetworkTables::BuildNodeOrder(NodeOrder& index) {
  index.order.resize(orderedSections_);
  index.skip.resize(orderedSections_);
  auto nodeOf = [&](std::size_t i) { return sections_[i].*index.node; };
  std::vector<std::uint64_t> keyed;
  for (const SectionRun& run : sectionRuns_) {
    if (run.ordered < 0) continue;
    const auto begin = static_cast<std::size_t>(run.begin);
    const auto end = static_cast<std::size_t>(run.end);
    const auto at = static_cast<std::size_t>(run.ordered);
    const std::size_t count = end - begin;
    // The node in the high half, its sign bit flipped so that unsigned order
    // is the nodes' order; the section's index in the low half keeps file
    // order among sections at the same node.
    keyed.clear();
    bool ascending = true;
    for (std::size_t i = begin; i < end; ++i) {
      const std::uint64_t node = static_cast<std::uint32_t>(nodeOf(i)) ^ 0x80000000u;
      keyed.push_back(node << 32 | static_cast<std::uint32_t>(i));
      if (i > begin && keyed[i - begin] < keyed[i - begin - 1]) ascending = false;
    }
    if (!ascending) std::sort(keyed.begin(), keyed.end());
    for (std::size_t k = 0; k < count; ++k) index.order[at + k] = static_cast<std::int32_t>(keyed[k] & 0xFFFFFFFFu);
    for (std::size_t k = count; k-- > 0;) {
      const SectionRecord& here = sections_[static_cast<std::size_t>(index.order[at + k])];
      if (k + 1 < count) {
        const SectionRecord& next = sections_[static_cast<std::size_t>(index.order[at + k + 1])];
        if (next.*index.node == here.*index.node && next.*index.other == here.*index.other) {
          index.skip[at + k] = index.skip[at + k + 1];
          continue;
        }
      }
      index.skip[at + k] = static_cast<std::int32_t>(at + k + 1);
    }
  }
}

void NetworkTables::BuildMetersBelow() {
  fMeasAscending_.resize(orderedSections_);
  metersUpTo_.resize(orderedSections_);
  // Ascending, NaN after every number.
  auto before = [](const std::pair<double, std::int32_t>& a, const std::pair<double, std::int32_t>& b) {
    return !std::isnan(a.first) && (std::isnan(b.first) || a.first < b.first);
  };
  std::vector<std::pair<double, std::int32_t>> measured;
  for (const SectionRun& run : sectionRuns_) {
    if (run.ordered < 0) continue;
    const auto begin = static_cast<std::size_t>(run.begin);
    const auto end = static_cast<std::size_t>(run.end);
    const auto at = static_cast<std::size_t>(run.ordered);
    measured.clear();
    for (std::size_t i = begin; i < end; ++i) measured.emplace_back(sections_[i].F_meas, sections_[i].Meters);
    std::sort(measured.begin(), measured.end(), before);
    std::int64_t sum = 0;
    for (std::size_t k = 0; k < measured.size(); ++k) {
      fMeasAscending_[at + k] = measured[k].first;
      sum += measured[k].second;
      metersUpTo_[at + k] = sum;
    }
  }
}

void NetworkTables::AdoptIds(const std::vector<std::int32_t>& fresh) {
  std::vector<std::int32_t> merged = MergeIds(ids_.ids(), fresh);
  if (merged.size() == ids_.size()) return;
  const std::vector<std::int32_t>& old = ids_.ids();
  if (!flows_.empty() && flows_.front().id1 >= 0) {
    // The flow rows carry ids already: they follow their entries.
    std::vector<std::int32_t> renumbered(old.size());
    RankCursor ranks(merged);
    for (std::size_t i = 0; i < old.size(); ++i) renumbered[i] = static_cast<std::int32_t>(ranks.RankOf(old[i]));
    for (FlowRecord& f : flows_) {
      if (f.id1 >= 0) f.id1 = renumbered[static_cast<std::size_t>(f.id1)];
      if (f.id2 >= 0) f.id2 = renumbered[static_cast<std::size_t>(f.id2)];
    }
  }
  // Every old entry moves up to its rank among the merged ids, in place from
  // the last: no entry lands on one not moved yet, and no copy of the
  // entries is made.
  // Room for the few ids the later tables bring (a row's end with no
  // sections, a reach with no rows), so that they do not make a large table
  // grow by copying, nor double its room.
  if (merged.size() > entries_.capacity()) entries_.reserve(merged.size() + merged.size() / 64 + 16);
  entries_.resize(merged.size());
  std::size_t rank = merged.size();
  for (std::size_t i = old.size(); i-- > 0;) {
    while (merged[--rank] != old[i]) entries_[rank] = IdEntry{};
    entries_[rank] = entries_[i];
  }
  while (rank-- > 0) entries_[rank] = IdEntry{};
  ids_.Assign(std::move(merged));
}

const NetworkTables::IdEntry* NetworkTables::EntryOf(std::int32_t comId) const {
  const std::int32_t at = ids_.Find(comId);
  return at < 0 ? nullptr : &entries_[static_cast<std::size_t>(at)];
}

NetworkTables::RowBlocks NetworkTables::MakeBlocks(std::vector<std::uint64_t>& keyed, std::int32_t IdEntry::*field,
                                                   std::int32_t FlowRecord::*rowId, bool backwards) {
  RowBlocks blocks;
  for (IdEntry& entry : entries_) entry.*field = -1;
  std::size_t count = 0;
  for (std::size_t p = 0; p < keyed.size(); ++p)
    if (p == 0 || KeyOf(keyed[p]) != KeyOf(keyed[p - 1])) ++count;
  blocks.rows.resize(keyed.size());
  blocks.starts.reserve(count + 1);
  RankCursor ranks(ids_.ids());
  std::int32_t entry = -1;  // the entry of the current block's key
  std::int32_t lastKey = 0;
  for (std::size_t p = 0; p < keyed.size(); ++p) {
    const std::int32_t key = KeyOf(keyed[p]);
    const std::int32_t row = PositionOf(keyed[p]);
    blocks.rows[p] = row;
    if (p == 0 || key != lastKey) {
      entry = static_cast<std::int32_t>(ranks.RankOf(key));
      entries_[static_cast<std::size_t>(entry)].*field = static_cast<std::int32_t>(blocks.starts.size());
      blocks.starts.push_back(static_cast<std::int32_t>(p));
    }
    lastKey = key;
    // The row and its entry take the key's place, for WriteRowIds.
    keyed[p] = static_cast<std::uint64_t>(static_cast<std::uint32_t>(row)) << 32 | static_cast<std::uint32_t>(entry);
  }
  blocks.starts.push_back(static_cast<std::int32_t>(blocks.rows.size()));
  WriteRowIds(keyed, rowId, backwards);
  return blocks;
}

void NetworkTables::WriteRowIds(std::vector<std::uint64_t>& pairs, std::int32_t FlowRecord::*rowId, bool backwards) {
  // Written in the order of the keys, each id would go to a row at random,
  // a trip to memory each once the rows outgrow the cache. The pairs are
  // first put in windows of 65,536 rows (2.6 MB) in place, each moved
  // straight to its window, and then written a window at a time.
  constexpr unsigned kWindowBits = 16;
  auto windowOf = [](std::uint64_t pair) { return static_cast<std::size_t>(pair >> (32 + kWindowBits)); };
  const std::size_t windows = (flows_.size() >> kWindowBits) + 1;
  std::vector<std::size_t> next(windows + 1, 0);
  for (const std::uint64_t pair : pairs) ++next[windowOf(pair) + 1];
  for (std::size_t w = 1; w <= windows; ++w) next[w] += next[w - 1];
  std::vector<std::size_t> end(next.begin() + 1, next.end());
  for (std::size_t w = 0; w < windows; ++w) {
    while (next[w] < end[w]) {
      std::uint64_t pair = pairs[next[w]];
      for (std::size_t to = windowOf(pair); to != w; to = windowOf(pair)) std::swap(pair, pairs[next[to]++]);
      pairs[next[w]++] = pair;
    }
  }
  // The other order's ids are written at the same time on another thread:
  // from the other end, so that the two seldom write the same rows at once.
  auto write = [&](std::uint64_t pair) {
    flows_[static_cast<std::size_t>(pair >> 32)].*rowId = static_cast<std::int32_t>(pair & 0xFFFFFFFFu);
  };
  if (backwards)
    std::for_each(pairs.rbegin(), pairs.rend(), write);
  else
    std::for_each(pairs.begin(), pairs.end(), write);
}

std::span<const std::int32_t> NetworkTables::RowBlocks::Block(std::int32_t block) const {
  if (block < 0) return {};
  const auto begin = static_cast<std::size_t>(starts[static_cast<std::size_t>(block)]);
  const auto end = static_cast<std::size_t>(starts[static_cast<std::size_t>(block) + 1]);
  return std::span<const std::int32_t>(rows).subspan(begin, end - begin);
}

void NetworkTables::SealFlows(bool concurrent) {
  // The rows leaving and the rows entering each reach are two orders of
  // their own: sorted and cut into blocks side by side.
  std::vector<std::uint64_t> byFrom;
  std::vector<std::uint64_t> byInto;
  std::vector<std::int32_t> fromIds;
  std::vector<std::int32_t> intoIds;
  RunBoth(
      concurrent,
      [&] {
        byFrom = KeyedOrder(flows_.size(), [&](std::size_t i) { return flows_[i].Com_id1; });
        fromIds = DistinctKeys(byFrom);
      },
      [&] {
        byInto = KeyedOrder(flows_.size(), [&](std::size_t i) { return flows_[i].Com_id2; });
        intoIds = DistinctKeys(byInto);
      });
  AdoptIds(MergeIds(fromIds, intoIds));
  fromIds = {};
  intoIds = {};
  // The two write different fields of the entries and of the rows.
  RunBoth(
      concurrent,
      [&] {
        rowsFrom_ = MakeBlocks(byFrom, &IdEntry::from, &FlowRecord::id1, false);
        byFrom = {};
      },
      [&] {
        rowsInto_ = MakeBlocks(byInto, &IdEntry::into, &FlowRecord::id2, true);
        byInto = {};
      });
  // Whether a reach is joined in its interior is asked of every reach a walk
  // enters: answered here once, not by reading its rows each time.
  for (IdEntry& entry : entries_) entry.interior = false;
  for (const FlowRecord& f : flows_)
    if (f.Sequence > 0.0) entries_[static_cast<std::size_t>(f.id2)].interior = true;
}

void NetworkTables::IndexReaches() {
  const std::vector<std::uint64_t> keyed =
      KeyedOrder(reaches_.size(), [&](std::size_t i) { return reaches_[i].Com_id; });
  AdoptIds(DistinctKeys(keyed));
  for (IdEntry& entry : entries_) entry.reach = -1;
  RankCursor ranks(ids_.ids());
  for (std::size_t p = 0; p < keyed.size(); ++p)
    if (p == 0 || KeyOf(keyed[p]) != KeyOf(keyed[p - 1]))
      entries_[ranks.RankOf(KeyOf(keyed[p]))].reach = PositionOf(keyed[p]);
  claimed_ = reaches_.size();
}

std::vector<std::size_t> NetworkTables::ClaimReaches(std::span<ReachRecord> records, std::vector<std::uint64_t> order) {
  if (claimed_ != reaches_.size()) IndexReaches();
  if (order.size() != records.size())
    order = KeyedOrder(records.size(), [&](std::size_t i) { return records[i].Com_id; });
  const std::vector<std::uint64_t>& keyed = order;
  AdoptIds(DistinctKeys(keyed));
  const auto before = static_cast<std::int32_t>(reaches_.size());
  std::vector<std::size_t> others;
  RankCursor ranks(ids_.ids());
  for (std::size_t p = 0; p < keyed.size(); ++p) {
    const std::int32_t key = KeyOf(keyed[p]);
    const auto position = static_cast<std::size_t>(PositionOf(keyed[p]));
    IdEntry& entry = entries_[ranks.RankOf(key)];
    // Equal Com_ids stand in file order: the first of a run is the first in
    // the file, unless a reach appended before has the id.
    if ((p > 0 && key == KeyOf(keyed[p - 1])) || entry.reach >= 0) {
      others.push_back(position);
      continue;
    }
    entry.reach = before + static_cast<std::int32_t>(position);
    if (entry.branched == 1 || entry.branched == 2) {
      ReachRecord& r = records[position];
      r.Branched = entry.branched;
      r.Divergent = DivergentOf(rowsInto_.Block(entry.into).size(), rowsFrom_.Block(entry.from).size());
    }
  }
  if (!others.empty()) {
    // The first ones move forward over the others left out before them.
    std::sort(others.begin(), others.end());
    RankCursor again(ids_.ids());
    for (std::size_t p = 0; p < keyed.size(); ++p) {
      if (p > 0 && KeyOf(keyed[p]) == KeyOf(keyed[p - 1])) continue;
      IdEntry& entry = entries_[again.RankOf(KeyOf(keyed[p]))];
      const auto position = static_cast<std::size_t>(PositionOf(keyed[p]));
      if (entry.reach != before + static_cast<std::int32_t>(position)) continue;
      entry.reach -=
          static_cast<std::int32_t>(std::lower_bound(others.begin(), others.end(), position) - others.begin());
    }
  }
  claimed_ += records.size() - others.size();
  return others;
}

void NetworkTables::SealReaches() {
  // Claimed reaches are indexed already; otherwise each is found here.
  if (claimed_ != reaches_.size()) IndexReaches();
  reachesByCode_.resize(reaches_.size());
  for (std::size_t i = 0; i < reaches_.size(); ++i) reachesByCode_[i] = static_cast<std::int32_t>(i);
  auto byCode = [&](std::int32_t a, std::int32_t b) {
    return std::strcmp(reaches_[static_cast<std::size_t>(a)].Rch_code, reaches_[static_cast<std::size_t>(b)].Rch_code) <
           0;
  };
  // Reach tables usually come ordered by code: then file order is the answer.
  if (!std::is_sorted(reachesByCode_.begin(), reachesByCode_.end(), byCode))
    std::stable_sort(reachesByCode_.begin(), reachesByCode_.end(), byCode);
}

const NetworkTables::SectionRun* NetworkTables::RunOf(std::int32_t comId) const {
  const IdEntry* entry = EntryOf(comId);
  return entry == nullptr || entry->run < 0 ? nullptr : &sectionRuns_[static_cast<std::size_t>(entry->run)];
}

std::int32_t NetworkTables::FirstSectionOf(std::int32_t comId) const {
  const SectionRun* run = RunOf(comId);
  return run == nullptr ? -1 : run->begin;
}

std::span<const SectionRecord> NetworkTables::SectionsOf(std::int32_t comId) const {
  const SectionRun* run = RunOf(comId);
  if (run == nullptr) return {};
  return std::span<const SectionRecord>(sections_).subspan(static_cast<std::size_t>(run->begin),
                                                           static_cast<std::size_t>(run->end - run->begin));
}

const SectionRecord* NetworkTables::FirstAtNode(const NodeOrder& index, std::int32_t comId, std::int32_t node,
                                                std::optional<std::int32_t> notOther) const {
  const SectionRun* run = RunOf(comId);
  if (run == nullptr) return nullptr;
  if (run->ordered < 0) {
    // One section: it is the answer or there is none.
    const SectionRecord& only = sections_[static_cast<std::size_t>(run->begin)];
    if (only.*index.node != node || (notOther && only.*index.other == *notOther)) return nullptr;
    return &only;
  }
  auto at = [&](std::int32_t j) -> const SectionRecord& {
    return sections_[static_cast<std::size_t>(index.order[static_cast<std::size_t>(j)])];
  };
  const std::int32_t end = run->ordered + (run->end - run->begin);
  std::int32_t lo = run->ordered;
  std::int32_t hi = end;
  while (lo < hi) {
    const std::int32_t mid = lo + (hi - lo) / 2;
    if (at(mid).*index.node < node)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (lo == end || at(lo).*index.node != node) return nullptr;
  if (!notOther || at(lo).*index.other != *notOther) return &at(lo);
  // The first one goes to notOther: the next whose other node differs from
  // it is the answer, if it is still at this node.
  const std::int32_t next = index.skip[static_cast<std::size_t>(lo)];
  if (next < end && at(next).*index.node == node) return &at(next);
  return nullptr;
}

const SectionRecord* NetworkTables::FirstSectionFrom(std::int32_t comId, std::int32_t node) const {
  return FirstAtNode(byFnode_, comId, node, std::nullopt);
}

const SectionRecord* NetworkTables::FirstSectionFrom(std::int32_t comId, std::int32_t node,
                                                     std::int32_t notTnode) const {
  return FirstAtNode(byFnode_, comId, node, notTnode);
}

const SectionRecord* NetworkTables::FirstSectionTo(std::int32_t comId, std::int32_t node) const {
  return FirstAtNode(byTnode_, comId, node, std::nullopt);
}

const SectionRecord* NetworkTables::FirstSectionTo(std::int32_t comId, std::int32_t node, std::int32_t notFnode) const {
  return FirstAtNode(byTnode_, comId, node, notFnode);
}

const SectionRecord* NetworkTables::FirstSectionWithFMeas0(std::int32_t comId) const {
  const SectionRun* run = RunOf(comId);
  if (run == nullptr || run->fMeas0 < 0) return nullptr;
  return &sections_[static_cast<std::size_t>(run->fMeas0)];
}

const SectionRecord* NetworkTables::FirstSectionWithTMeas100(std::int32_t comId) const {
  const SectionRun* run = RunOf(comId);
  if (run == nullptr || run->tMeas100 < 0) return nullptr;
  return &sections_[static_cast<std::size_t>(run->tMeas100)];
}

std::int64_t NetworkTables::MetersBelow(std::int32_t comId, double measure) const {
  const SectionRun* run = RunOf(comId);
  if (run == nullptr) return 0;
  if (run->ordered < 0) {
    // One section (NaN is below nothing: the comparison is false).
    const SectionRecord& only = sections_[static_cast<std::size_t>(run->begin)];
    return only.F_meas < measure ? only.Meters : 0;
  }
  const auto first = fMeasAscending_.begin() + run->ordered;
  const auto last = first + (run->end - run->begin);
  // Numbers below the measure lead the ascending order; NaN, last, never is.
  const auto below = std::partition_point(first, last, [measure](double f) { return f < measure; });
  if (below == first) return 0;
  return metersUpTo_[static_cast<std::size_t>(below - fMeasAscending_.begin() - 1)];
}

std::int32_t NetworkTables::FindReachByRchCode(std::string_view code) const {
  // Codes compare as C strings: a code holding a zero byte is cut there.
  std::string_view key = code.substr(0, std::min(code.size(), code.find('\0')));
  auto it = std::lower_bound(
      reachesByCode_.begin(), reachesByCode_.end(), key,
      [&](std::int32_t r, std::string_view k) { return reaches_[static_cast<std::size_t>(r)].Code() < k; });
  if (it == reachesByCode_.end() || reaches_[static_cast<std::size_t>(*it)].Code() != key) return -1;
  return *it;
}

std::int32_t NetworkTables::FindReachByComId(std::int32_t comId) const {
  const IdEntry* entry = EntryOf(comId);
  return entry == nullptr ? -1 : entry->reach;
}

const ReachRecord* NetworkTables::ReachByComId(std::int32_t comId) const {
  const std::int32_t i = FindReachByComId(comId);
  return i < 0 ? nullptr : &reaches_[static_cast<std::size_t>(i)];
}

std::span<const std::int32_t> NetworkTables::RowsFrom(std::int32_t comId) const { return RowsFromAt(IdOf(comId)); }

std::span<const std::int32_t> NetworkTables::RowsInto(std::int32_t comId) const { return RowsIntoAt(IdOf(comId)); }

bool NetworkTables::HasInteriorInflow(std::int32_t comId) const { return HasInteriorInflowAt(IdOf(comId)); }

void NetworkTables::PrefetchStep(std::int32_t id) const {
  if (id < 0) return;
  const IdEntry& entry = entries_[static_cast<std::size_t>(id)];
  if (entry.reach >= 0) PrefetchRead(&reaches_[static_cast<std::size_t>(entry.reach)]);
  if (entry.into >= 0) PrefetchRead(&rowsInto_.starts[static_cast<std::size_t>(entry.into)]);
}

std::span<const std::int32_t> NetworkTables::RowsFromAt(std::int32_t id) const {
  return id < 0 ? std::span<const std::int32_t>() : rowsFrom_.Block(entries_[static_cast<std::size_t>(id)].from);
}

std::span<const std::int32_t> NetworkTables::RowsIntoAt(std::int32_t id) const {
  return id < 0 ? std::span<const std::int32_t>() : rowsInto_.Block(entries_[static_cast<std::size_t>(id)].into);
}

bool NetworkTables::HasInteriorInflowAt(std::int32_t id) const {
  if (id < 0) return false;
  const IdEntry& entry = entries_[static_cast<std::size_t>(id)];
  return entry.into >= 0 && entry.interior;
}

}  // namespace rill
