#pragma once

#include <cstdint>
#include <vector>

#include "network/id_index.h"

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

// The passages of one navigation pass, in walk order, with the visited test.
class ResultList {
 public:
  const std::vector<ResultRecord>& records() const { return records_; }
  std::int32_t last() const { return static_cast<std::int32_t>(records_.size()) - 1; }
  void Append(const ResultRecord& record) {
    visited_.InsertFirst(record.Com_id, static_cast<std::int32_t>(records_.size()));
    records_.push_back(record);
  }
  // Whether some record carries this Com_id.
  bool IsInResults(std::int32_t comId) const { return visited_.Find(comId) >= 0; }

 private:
  std::vector<ResultRecord> records_;
  IdIndex visited_;
};

}  // namespace rill
