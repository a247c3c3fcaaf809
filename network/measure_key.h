#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace rill {

// A reach and two measures compared exactly: the key of duplicate sections
// and of recorded pieces. NaN equals nothing, so keys holding NaN are never
// stored; -0.0 equals 0.0 and hashes alike.
struct MeasureKey {
  std::int32_t comId;
  double from;
  double to;
  bool operator==(const MeasureKey& o) const { return comId == o.comId && from == o.from && to == o.to; }
  bool Storable() const { return !std::isnan(from) && !std::isnan(to); }
};

struct MeasureKeyHash {
  std::size_t operator()(const MeasureKey& k) const {
    double f = k.from == 0.0 ? 0.0 : k.from;
    double t = k.to == 0.0 ? 0.0 : k.to;
    std::uint64_t a, b;
    std::memcpy(&a, &f, sizeof a);
    std::memcpy(&b, &t, sizeof b);
    std::uint64_t h = static_cast<std::uint32_t>(k.comId) * 0x9E3779B97F4A7C15ull;
    h ^= a + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    h ^= b + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h);
  }
};

}  // namespace rill
