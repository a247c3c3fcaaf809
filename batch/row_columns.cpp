#include "batch/row_columns.h"

namespace rill {

void RowColumns::Add(const ResultRow& row, std::uint32_t requestIndex) {
  const ResultRow printed = PrintedRow(row);
  request.push_back(requestIndex);
  reach.push_back(row.reach);
  comId.push_back(row.comId);
  duuId.push_back(row.duuId());
  from.push_back(printed.fromMeasure);
  to.push_back(printed.toMeasure);
  distance.push_back(printed.distance);
  length.push_back(printed.length);
}

void RowColumns::Append(const RowColumns& other, std::uint32_t firstRequest) {
  for (std::uint32_t r : other.request) request.push_back(firstRequest + r);
  reach.insert(reach.end(), other.reach.begin(), other.reach.end());
  comId.insert(comId.end(), other.comId.begin(), other.comId.end());
  duuId.insert(duuId.end(), other.duuId.begin(), other.duuId.end());
  from.insert(from.end(), other.from.begin(), other.from.end());
  to.insert(to.end(), other.to.begin(), other.to.end());
  distance.insert(distance.end(), other.distance.begin(), other.distance.end());
  length.insert(length.end(), other.length.begin(), other.length.end());
}

void RowColumns::Clear() {
  request.clear();
  reach.clear();
  comId.clear();
  duuId.clear();
  from.clear();
  to.clear();
  distance.clear();
  length.clear();
}

}  // namespace rill
