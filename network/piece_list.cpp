#include "network/piece_list.h"

namespace rill {

bool SpecialCaseList::HasSpecialCase(std::int32_t comId, double f, double t) const {
  MeasureKey key{comId, f, t};
  return key.Storable() && keys_.count(key) != 0;
}

void SpecialCaseList::AppendSpecialCase(const SpecialCaseRecord& entry) {
  MeasureKey key{entry.Com_id, entry.f_meas, entry.t_meas};
  if (key.Storable() && !keys_.insert(key).second) return;
  firstOf_.InsertFirst(entry.Com_id, static_cast<std::int32_t>(entries_.size()));
  entries_.push_back(entry);
}

}  // namespace rill
