// What one network walk carries from step to step.
#pragma once

#include <bit>
#include <cstdint>

#include "navstate/nav_state.h"
#include "netwalk/roid_list.h"

namespace rill {

struct NetworkWalk {
  NetworkWalk(NavContext& context, bool up, double limit) : ctx(context), upstream(up), distance(limit) {}

  NavContext& ctx;
  bool upstream;
  double distance;  // meters; exactly -1.0 for no limit

  RoidList roids;
  std::int32_t currentRoid = 0;  // the reach of this step
  std::int32_t lastRoid = 0;     // the reach whose rows are scanned
  std::int32_t firstRoid = 0;    // the reach dStartMeasure belongs to
  std::int32_t nextRoid = 0;     // same-level continuation found by the scan, 0 for none
  // The dense ids of currentRoid, lastRoid and nextRoid.
  std::int32_t currentId = -1;
  std::int32_t lastId = -1;
  std::int32_t nextId = -1;
  double dStartMeasure = 0.0;
  double lastTotal = 0.0;  // travel distance where the current reach was entered
  std::int32_t rowsExamined = 0;
  double rowGuard = 0.0;  // more rows examined than this means the walk went round in circles

  bool RowBudgetLeft() const { return rowsExamined <= rowGuard; }

  // Whether a branch entered at travel distance x lies inside the limit.
  bool WithinLimit(double x) const {
    if (std::bit_cast<std::uint64_t>(distance) == std::bit_cast<std::uint64_t>(-1.0)) return true;
    return !(distance < 0.0) && x < distance;
  }

  std::int32_t Append(std::int32_t roid, std::int32_t id, double travel, double startMeasure) {
    return roids.Append({roid, travel, startMeasure, id});
  }
};

}  // namespace rill
