#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rill {

// The Com_ids of a network in ascending order, each found by its rank. Built
// by sorting and merging, in order, rather than by inserting ids at random:
// once the tables outgrow the cache, a load that hashes each id pays a trip
// to memory for every one. A lookup reads one slot of a bucket table (the
// ids' range cut into about as many buckets as there are ids) and the few
// ids of that bucket.
class SortedIds {
 public:
  // Takes over `ids`, ascending, no two equal.
  void Assign(std::vector<std::int32_t> ids);
  // The rank of `id` (its position in ascending order), or -1 when absent.
  std::int32_t Find(std::int32_t id) const;
  const std::vector<std::int32_t>& ids() const { return ids_; }
  std::size_t size() const { return ids_.size(); }

 private:
  static std::uint32_t Biased(std::int32_t id) { return static_cast<std::uint32_t>(id) ^ 0x80000000u; }
  std::vector<std::int32_t> ids_;
  std::vector<std::int32_t> bucketStart_;  // the first rank of each bucket, then size()
  std::uint32_t low_ = 0;                  // the smallest id, biased
  unsigned shift_ = 0;                     // bucket = (biased id - low_) >> shift_
};

// The union of two ascending lists of distinct ids, ascending.
std::vector<std::int32_t> MergeIds(const std::vector<std::int32_t>& a, const std::vector<std::int32_t>& b);

}  // namespace rill
