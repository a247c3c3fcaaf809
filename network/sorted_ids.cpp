#include "network/sorted_ids.h"

#include <algorithm>
#include <iterator>

namespace rill {

void SortedIds::Assign(std::vector<std::int32_t> ids) {
  ids_ = std::move(ids);
  bucketStart_.clear();
  low_ = 0;
  shift_ = 0;
  if (ids_.empty()) return;
  low_ = Biased(ids_.front());
  const std::uint64_t span = Biased(ids_.back()) - low_;
  while ((span >> shift_) + 1 > ids_.size()) ++shift_;
  const std::size_t buckets = static_cast<std::size_t>(span >> shift_) + 1;
  bucketStart_.resize(buckets + 1);
  std::size_t b = 0;
  for (std::size_t i = 0; i < ids_.size(); ++i) {
    const std::size_t of = (Biased(ids_[i]) - low_) >> shift_;
    while (b <= of) bucketStart_[b++] = static_cast<std::int32_t>(i);
  }
  while (b <= buckets) bucketStart_[b++] = static_cast<std::int32_t>(ids_.size());
}

std::int32_t SortedIds::Find(std::int32_t id) const {
  const std::uint32_t biased = Biased(id);
  if (ids_.empty() || biased < low_) return -1;
  const std::size_t bucket = static_cast<std::size_t>(static_cast<std::uint64_t>(biased - low_) >> shift_);
  if (bucket + 1 >= bucketStart_.size()) return -1;
  auto first = ids_.begin() + bucketStart_[bucket];
  const auto last = ids_.begin() + bucketStart_[bucket + 1];
  if (last - first > 8) first = std::lower_bound(first, last, id);
  for (; first != last && *first < id; ++first) {
  }
  return first != last && *first == id ? static_cast<std::int32_t>(first - ids_.begin()) : -1;
}

std::vector<std::int32_t> MergeIds(const std::vector<std::int32_t>& a, const std::vector<std::int32_t>& b) {
  std::vector<std::int32_t> merged;
  merged.reserve(a.size() + b.size());
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(merged));
  return merged;
}

}  // namespace rill
