#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "network/id_index.h"
#include "network/measure_key.h"

namespace rill {

// A piece of a reach that a walk really passes: entered at f_meas, left at
// t_meas, `meters` long. Downstream pieces have f_meas above t_meas.
struct SpecialCaseRecord {
  std::int32_t Com_id = 0;
  double f_meas = 0.0;
  double t_meas = 0.0;
  double meters = 0.0;
};

// The pieces recorded during one navigation pass, in recording order. No
// two entries share Com_id, f_meas and t_meas.
class SpecialCaseList {
 public:
  const std::vector<SpecialCaseRecord>& entries() const { return entries_; }
  const SpecialCaseRecord& operator[](std::int32_t i) const { return entries_[static_cast<std::size_t>(i)]; }
  std::int32_t last() const { return static_cast<std::int32_t>(entries_.size()) - 1; }

  // Index of the first entry of a reach, or -1.
  std::int32_t FindSpecialCase(std::int32_t comId) const { return firstOf_.Find(comId); }
  // Whether an entry has exactly these three values (meters not compared).
  bool HasSpecialCase(std::int32_t comId, double f, double t) const;
  // Appends the entry unless HasSpecialCase finds it.
  void AppendSpecialCase(const SpecialCaseRecord& entry);

 private:
  std::vector<SpecialCaseRecord> entries_;
  IdIndex firstOf_;
  std::unordered_set<MeasureKey, MeasureKeyHash> keys_;
};

}  // namespace rill
