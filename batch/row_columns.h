// The rows of a navigation, or of a batch, as columns for a data frame,
// filled from the result's records: each number is the one a reader of the
// result CSV gets, rounded to the digits its line prints, with no text in
// between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "navigation/navigation.h"

namespace rill {

struct RowColumns {
  std::vector<std::uint32_t> request;     // which request of a batch the row belongs to
  std::vector<const ReachRecord*> reach;  // its code and date, in tables kept alive by the caller
  std::vector<std::int64_t> comId;
  std::vector<std::int64_t> duuId;
  std::vector<double> from;
  std::vector<double> to;
  std::vector<double> distance;
  std::vector<double> length;

  std::size_t size() const { return reach.size(); }
  void Add(const ResultRow& row, std::uint32_t requestIndex);
  // Appends `other`'s rows, their request indexes moved on by `firstRequest`.
  void Append(const RowColumns& other, std::uint32_t firstRequest);
  void Clear();
};

}  // namespace rill
