#include "network/network_tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace rill {

namespace {

// Positions 0..n-1 ordered by key, equal keys in position order.
template <typename KeyOf>
std::vector<std::int32_t> StableOrder(std::size_t n, KeyOf keyOf) {
  std::vector<std::pair<std::int32_t, std::int32_t>> keyed(n);
  for (std::size_t i = 0; i < n; ++i) keyed[i] = {keyOf(i), static_cast<std::int32_t>(i)};
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::int32_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = keyed[i].second;
  return order;
}

}  // namespace

void NetworkTables::SealSections() {
  std::vector<std::int32_t> order = StableOrder(sections_.size(), [&](std::size_t i) { return sections_[i].Com_id; });
  std::vector<SectionRecord> sorted;
  sorted.reserve(sections_.size());
  for (std::int32_t i : order) sorted.push_back(sections_[static_cast<std::size_t>(i)]);
  sections_ = std::move(sorted);
  runOf_ = IdIndex{};
  runOf_.Reserve(sections_.size());
  sectionRuns_.clear();
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const SectionRecord& s = sections_[i];
    const auto at = static_cast<std::int32_t>(i);
    if (i == 0 || s.Com_id != sections_[i - 1].Com_id) {
      runOf_.InsertFirst(s.Com_id, static_cast<std::int32_t>(sectionRuns_.size()));
      sectionRuns_.push_back({at, at, -1, -1});
    }
    SectionRun& run = sectionRuns_.back();
    run.end = at + 1;
    if (run.fMeas0 < 0 && s.F_meas == 0.0) run.fMeas0 = at;
    if (run.tMeas100 < 0 && s.T_meas == 100.0) run.tMeas100 = at;
  }
  BuildNodeOrder(byFnode_);
  BuildNodeOrder(byTnode_);
  BuildMetersBelow();
}

void NetworkTables::BuildNodeOrder(NodeOrder& index) {
  index.order.resize(sections_.size());
  index.skip.resize(sections_.size());
  auto nodeOf = [&](std::size_t i) { return sections_[i].*index.node; };
  std::vector<std::uint64_t> keyed;
  for (const SectionRun& run : sectionRuns_) {
    const auto begin = static_cast<std::size_t>(run.begin);
    const auto end = static_cast<std::size_t>(run.end);
    if (end - begin == 1) {
      index.order[begin] = run.begin;
      index.skip[begin] = run.end;
      continue;
    }
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
    for (std::size_t j = begin; j < end; ++j)
      index.order[j] = static_cast<std::int32_t>(keyed[j - begin] & 0xFFFFFFFFu);
    for (std::size_t j = end; j-- > begin;) {
      const SectionRecord& here = sections_[static_cast<std::size_t>(index.order[j])];
      if (j + 1 < end) {
        const SectionRecord& next = sections_[static_cast<std::size_t>(index.order[j + 1])];
        if (next.*index.node == here.*index.node && next.*index.other == here.*index.other) {
          index.skip[j] = index.skip[j + 1];
          continue;
        }
      }
      index.skip[j] = static_cast<std::int32_t>(j + 1);
    }
  }
}

void NetworkTables::BuildMetersBelow() {
  fMeasAscending_.resize(sections_.size());
  metersUpTo_.resize(sections_.size());
  // Ascending, NaN after every number.
  auto before = [](const std::pair<double, std::int32_t>& a, const std::pair<double, std::int32_t>& b) {
    return !std::isnan(a.first) && (std::isnan(b.first) || a.first < b.first);
  };
  std::vector<std::pair<double, std::int32_t>> measured;
  for (const SectionRun& run : sectionRuns_) {
    const auto begin = static_cast<std::size_t>(run.begin);
    const auto end = static_cast<std::size_t>(run.end);
    measured.clear();
    for (std::size_t i = begin; i < end; ++i) measured.emplace_back(sections_[i].F_meas, sections_[i].Meters);
    if (measured.size() > 1) std::sort(measured.begin(), measured.end(), before);
    std::int64_t sum = 0;
    for (std::size_t j = begin; j < end; ++j) {
      fMeasAscending_[j] = measured[j - begin].first;
      sum += measured[j - begin].second;
      metersUpTo_[j] = sum;
    }
  }
}

NetworkTables::RowBlocks NetworkTables::MakeBlocks(std::vector<std::int32_t> rows, const std::vector<FlowRecord>& flows,
                                                   std::int32_t FlowRecord::*key) {
  RowBlocks blocks;
  blocks.rows = std::move(rows);
  blocks.blockOf.Reserve(blocks.rows.size());
  auto keyAt = [&](std::size_t p) { return flows[static_cast<std::size_t>(blocks.rows[p])].*key; };
  for (std::size_t p = 0; p < blocks.rows.size(); ++p) {
    if (p > 0 && keyAt(p) == keyAt(p - 1)) continue;
    blocks.blockOf.InsertFirst(keyAt(p), static_cast<std::int32_t>(blocks.starts.size()));
    blocks.starts.push_back(static_cast<std::int32_t>(p));
  }
  blocks.starts.push_back(static_cast<std::int32_t>(blocks.rows.size()));
  return blocks;
}

std::span<const std::int32_t> NetworkTables::RowBlocks::Of(std::int32_t comId) const {
  std::int32_t block = blockOf.Find(comId);
  if (block < 0) return {};
  const auto begin = static_cast<std::size_t>(starts[static_cast<std::size_t>(block)]);
  const auto end = static_cast<std::size_t>(starts[static_cast<std::size_t>(block) + 1]);
  return std::span<const std::int32_t>(rows).subspan(begin, end - begin);
}

void NetworkTables::SealFlows() {
  rowsFrom_ = MakeBlocks(StableOrder(flows_.size(), [&](std::size_t i) { return flows_[i].Com_id1; }), flows_,
                         &FlowRecord::Com_id1);
  rowsInto_ = MakeBlocks(StableOrder(flows_.size(), [&](std::size_t i) { return flows_[i].Com_id2; }), flows_,
                         &FlowRecord::Com_id2);
}

void NetworkTables::SealReaches() {
  reachByComId_ = IdIndex{};
  reachByComId_.Reserve(reaches_.size());
  for (std::size_t i = 0; i < reaches_.size(); ++i)
    reachByComId_.InsertFirst(reaches_[i].Com_id, static_cast<std::int32_t>(i));
  reachesByCode_.resize(reaches_.size());
  for (std::size_t i = 0; i < reaches_.size(); ++i) reachesByCode_[i] = static_cast<std::int32_t>(i);
  std::stable_sort(reachesByCode_.begin(), reachesByCode_.end(), [&](std::int32_t a, std::int32_t b) {
    return std::strcmp(reaches_[static_cast<std::size_t>(a)].Rch_code, reaches_[static_cast<std::size_t>(b)].Rch_code) <
           0;
  });
}

const NetworkTables::SectionRun* NetworkTables::RunOf(std::int32_t comId) const {
  std::int32_t run = runOf_.Find(comId);
  return run < 0 ? nullptr : &sectionRuns_[static_cast<std::size_t>(run)];
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
  auto at = [&](std::int32_t j) -> const SectionRecord& {
    return sections_[static_cast<std::size_t>(index.order[static_cast<std::size_t>(j)])];
  };
  std::int32_t lo = run->begin;
  std::int32_t hi = run->end;
  while (lo < hi) {
    const std::int32_t mid = lo + (hi - lo) / 2;
    if (at(mid).*index.node < node)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (lo == run->end || at(lo).*index.node != node) return nullptr;
  if (!notOther || at(lo).*index.other != *notOther) return &at(lo);
  // The first one goes to notOther: the next whose other node differs from
  // it is the answer, if it is still at this node.
  const std::int32_t next = index.skip[static_cast<std::size_t>(lo)];
  if (next < run->end && at(next).*index.node == node) return &at(next);
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
  const auto first = fMeasAscending_.begin() + run->begin;
  const auto last = fMeasAscending_.begin() + run->end;
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

std::int32_t NetworkTables::FindReachByComId(std::int32_t comId) const { return reachByComId_.Find(comId); }

const ReachRecord* NetworkTables::ReachByComId(std::int32_t comId) const {
  std::int32_t i = reachByComId_.Find(comId);
  return i < 0 ? nullptr : &reaches_[static_cast<std::size_t>(i)];
}

std::span<const std::int32_t> NetworkTables::RowsFrom(std::int32_t comId) const { return rowsFrom_.Of(comId); }

std::span<const std::int32_t> NetworkTables::RowsInto(std::int32_t comId) const { return rowsInto_.Of(comId); }

bool NetworkTables::HasInteriorInflow(std::int32_t comId) const {
  for (std::int32_t row : RowsInto(comId))
    if (flows_[static_cast<std::size_t>(row)].Sequence > 0.0) return true;
  return false;
}

}  // namespace rill
