#include "navigation/start_rules.h"

#include <algorithm>

namespace rill {

bool StartIsBlocked(const ReachRecord& start, NavKind kind, Direction dir, StartReachMode mode, double& startMeasure) {
  const double m = startMeasure;
  const bool network = IsNetworkKind(kind);
  if (start.Branched == 1 && mode == StartReachMode::AtMeasure) {
    if (dir == Direction::Down) return start.Divergent == 1 && (m > 100.0 || network);
    if (dir == Direction::Up) return m > 100.0 || (network && m != 0.0);
    return false;
  }
  if (start.Branched == 2 && mode == StartReachMode::AtMeasure) {
    if (dir == Direction::Up) return true;
    if (dir == Direction::Down) return start.Divergent == 1;
    return false;
  }
  if (start.Branched == 2 && mode == StartReachMode::Whole && dir == Direction::Down) startMeasure = 200.0;
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
