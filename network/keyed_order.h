#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rill {

// Positions 0..n-1 ordered by a 32-bit key, equal keys in position order,
// each with its key: the key in the high half, its sign bit flipped so that
// unsigned order is the keys' order, the position in the low half. A radix
// sort in two passes of 16 bits: linear, and stable as file order requires.
// Tables that already stand in key order cost one pass.
template <typename KeyOf>
std::vector<std::uint64_t> KeyedOrder(std::size_t n, KeyOf keyOf) {
  std::vector<std::uint64_t> keyed;
  keyed.resize(n);
  bool ordered = true;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint64_t key = static_cast<std::uint32_t>(keyOf(i)) ^ 0x80000000u;
    keyed[i] = key << 32 | static_cast<std::uint32_t>(i);
    if (i > 0 && keyed[i] < keyed[i - 1]) ordered = false;
  }
  if (!ordered) {
    std::vector<std::uint64_t> spare;
    spare.resize(n);
    std::vector<std::size_t> start(65537);
    for (int shift = 32; shift < 64; shift += 16) {
      std::fill(start.begin(), start.end(), 0);
      for (std::uint64_t k : keyed) ++start[((k >> shift) & 0xFFFFu) + 1];
      for (std::size_t d = 1; d < start.size(); ++d) start[d] += start[d - 1];
      for (std::uint64_t k : keyed) spare[start[(k >> shift) & 0xFFFFu]++] = k;
      keyed.swap(spare);
    }
  }
  return keyed;
}

inline std::int32_t KeyedPosition(std::uint64_t keyed) { return static_cast<std::int32_t>(keyed & 0xFFFFFFFFu); }
inline std::int32_t KeyedKey(std::uint64_t keyed) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(keyed >> 32) ^ 0x80000000u);
}

// The distinct keys of a keyed order, ascending.
inline std::vector<std::int32_t> DistinctKeys(const std::vector<std::uint64_t>& keyed) {
  std::vector<std::int32_t> keys;
  for (std::size_t p = 0; p < keyed.size(); ++p)
    if (p == 0 || keyed[p] >> 32 != keyed[p - 1] >> 32) keys.push_back(KeyedKey(keyed[p]));
  return keys;
}

}  // namespace rill
