#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace rill {

// One passage through one reach. The reach's code, date and Duu_id are
// read from the reach table through `reach` when the CSV is written.
struct ResultRecord {
  std::int32_t reach = -1;  // index in the reach table
  std::int32_t Com_id = 0;
  double FromMeasure = 0.0;
  double ToMeasure = 0.0;
  double TravelDistance = 0.0;  // cumulative, in the request's units
  double RchLength = 0.0;       // in the request's units
};

// The passages of one navigation pass, in walk order. The walks mark the
// reaches they output in WalkMarks; IsInResults is for callers outside them.
class ResultList {
 public:
  const std::vector<ResultRecord>& records() const { return records_; }
  std::int32_t last() const { return static_cast<std::int32_t>(records_.size()) - 1; }
  void Append(const ResultRecord& record) { records_.push_back(record); }
  // Whether some record carries this Com_id: a search, never made in a walk.
  bool IsInResults(std::int32_t comId) const {
    return std::any_of(records_.begin(), records_.end(), [comId](const ResultRecord& r) { return r.Com_id == comId; });
  }

 private:
  std::vector<ResultRecord> records_;
};

}  // namespace rill
