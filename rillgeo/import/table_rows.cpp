#include "rillgeo/import/table_rows.h"

#include <algorithm>
#include <tuple>

namespace rill::geo {

namespace {

int GroupOf(const FlowRow& row) {
  if (row.dir == 714) return 0;
  if (row.dir == 712) return 1;
  return 2;
}

}  // namespace

void SortFlowRows(std::vector<FlowRow>& flows) {
  std::stable_sort(flows.begin(), flows.end(), [](const FlowRow& a, const FlowRow& b) {
    return std::make_tuple(GroupOf(a), a.leaving, a.dLevel, a.entering) <
           std::make_tuple(GroupOf(b), b.leaving, b.dLevel, b.entering);
  });
}

}  // namespace rill::geo
