#include "navigator/start_rules.h"

#include <algorithm>

namespace rill {

bool StartIsBlocked(const ReachRecord& start, NavRequest& request) {
  const std::string& dir = request.Direction;
  const double m = request.StartMeasure;
  const bool network = request.NavType == 2 || request.NavType == 4;
  if (start.Branched == 1 && request.WholeReachStartMode == 0) {
    if (dir == "D") return start.Divergent == 1 && (m > 100.0 || network);
    if (dir == "U") return m > 100.0 || (network && m != 0.0);
    return false;
  }
  if (start.Branched == 2 && request.WholeReachStartMode == 0) {
    if (dir == "U") return true;
    if (dir == "D") return start.Divergent == 1;
    return false;
  }
  if (start.Branched == 2 && request.WholeReachStartMode == 1 && dir == "D") request.StartMeasure = 200.0;
  return false;
}

bool TestCoastmain(const NetworkTables& tables, std::int32_t comId) {
  std::span<const std::int32_t> from = tables.RowsFrom(comId);
  std::span<const std::int32_t> into = tables.RowsInto(comId);
  std::int32_t last = -1;
  if (!from.empty()) last = from.back();
  if (!into.empty()) last = std::max(last, into.back());
  return last >= 0 && tables.flows()[static_cast<std::size_t>(last)].Dir == kDirCoast;
}

}  // namespace rill
