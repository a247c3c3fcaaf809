#include "network/network_tables.h"

#include <algorithm>
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
  std::vector<std::int32_t> order =
      StableOrder(sections_.size(), [&](std::size_t i) { return sections_[i].Com_id; });
  std::vector<SectionRecord> sorted;
  sorted.reserve(sections_.size());
  for (std::int32_t i : order) sorted.push_back(sections_[static_cast<std::size_t>(i)]);
  sections_ = std::move(sorted);
  sectionStart_ = IdIndex{};
  sectionStart_.Reserve(sections_.size());
  for (std::size_t i = 0; i < sections_.size(); ++i)
    if (i == 0 || sections_[i].Com_id != sections_[i - 1].Com_id)
      sectionStart_.InsertFirst(sections_[i].Com_id, static_cast<std::int32_t>(i));
}

void NetworkTables::SealFlows() {
  rowsByFrom_ = StableOrder(flows_.size(), [&](std::size_t i) { return flows_[i].Com_id1; });
  rowsByTo_ = StableOrder(flows_.size(), [&](std::size_t i) { return flows_[i].Com_id2; });
  fromStart_ = IdIndex{};
  toStart_ = IdIndex{};
  fromStart_.Reserve(flows_.size());
  toStart_.Reserve(flows_.size());
  // Only the first row of each block goes into the index.
  auto from = [&](std::size_t p) { return flows_[static_cast<std::size_t>(rowsByFrom_[p])].Com_id1; };
  auto to = [&](std::size_t p) { return flows_[static_cast<std::size_t>(rowsByTo_[p])].Com_id2; };
  for (std::size_t p = 0; p < flows_.size(); ++p) {
    if (p == 0 || from(p) != from(p - 1)) fromStart_.InsertFirst(from(p), static_cast<std::int32_t>(p));
    if (p == 0 || to(p) != to(p - 1)) toStart_.InsertFirst(to(p), static_cast<std::int32_t>(p));
  }
}

void NetworkTables::SealReaches() {
  reachByComId_ = IdIndex{};
  reachByComId_.Reserve(reaches_.size());
  for (std::size_t i = 0; i < reaches_.size(); ++i)
    reachByComId_.InsertFirst(reaches_[i].Com_id, static_cast<std::int32_t>(i));
  reachesByCode_.resize(reaches_.size());
  for (std::size_t i = 0; i < reaches_.size(); ++i) reachesByCode_[i] = static_cast<std::int32_t>(i);
  std::stable_sort(reachesByCode_.begin(), reachesByCode_.end(), [&](std::int32_t a, std::int32_t b) {
    return std::strcmp(reaches_[static_cast<std::size_t>(a)].Rch_code,
                       reaches_[static_cast<std::size_t>(b)].Rch_code) < 0;
  });
}

std::int32_t NetworkTables::FirstSectionOf(std::int32_t comId) const { return sectionStart_.Find(comId); }

std::span<const SectionRecord> NetworkTables::SectionsOf(std::int32_t comId) const {
  std::int32_t first = sectionStart_.Find(comId);
  if (first < 0) return {};
  std::size_t end = static_cast<std::size_t>(first);
  while (end < sections_.size() && sections_[end].Com_id == comId) ++end;
  return std::span<const SectionRecord>(sections_).subspan(static_cast<std::size_t>(first),
                                                            end - static_cast<std::size_t>(first));
}

std::int32_t NetworkTables::FindReachByRchCode(std::string_view code) const {
  // Codes compare as C strings: a code holding a zero byte is cut there.
  std::string_view key = code.substr(0, std::min(code.size(), code.find('\0')));
  auto it = std::lower_bound(reachesByCode_.begin(), reachesByCode_.end(), key,
                             [&](std::int32_t r, std::string_view k) {
                               return reaches_[static_cast<std::size_t>(r)].Code() < k;
                             });
  if (it == reachesByCode_.end() || reaches_[static_cast<std::size_t>(*it)].Code() != key) return -1;
  return *it;
}

std::int32_t NetworkTables::FindReachByComId(std::int32_t comId) const { return reachByComId_.Find(comId); }

const ReachRecord* NetworkTables::ReachByComId(std::int32_t comId) const {
  std::int32_t i = reachByComId_.Find(comId);
  return i < 0 ? nullptr : &reaches_[static_cast<std::size_t>(i)];
}

std::span<const std::int32_t> NetworkTables::Block(const std::vector<std::int32_t>& order,
                                                   const IdIndex& index, std::int32_t comId,
                                                   bool byFrom) const {
  std::int32_t first = index.Find(comId);
  if (first < 0) return {};
  std::size_t end = static_cast<std::size_t>(first);
  while (end < order.size()) {
    const FlowRecord& f = flows_[static_cast<std::size_t>(order[end])];
    if ((byFrom ? f.Com_id1 : f.Com_id2) != comId) break;
    ++end;
  }
  return std::span<const std::int32_t>(order).subspan(static_cast<std::size_t>(first),
                                                       end - static_cast<std::size_t>(first));
}

std::span<const std::int32_t> NetworkTables::RowsFrom(std::int32_t comId) const {
  return Block(rowsByFrom_, fromStart_, comId, true);
}

std::span<const std::int32_t> NetworkTables::RowsInto(std::int32_t comId) const {
  return Block(rowsByTo_, toStart_, comId, false);
}

bool NetworkTables::HasInteriorInflow(std::int32_t comId) const {
  for (std::int32_t row : RowsInto(comId))
    if (flows_[static_cast<std::size_t>(row)].Sequence > 0.0) return true;
  return false;
}

}  // namespace rill

