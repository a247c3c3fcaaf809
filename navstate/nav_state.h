#pragma once

#include <cstdint>

#include "navstate/result_list.h"
#include "navstate/walk_marks.h"
#include "network/network_tables.h"
#include "network/piece_list.h"
#include "text/text_writer.h"

namespace rill {

// Marks dCumTravelDistance once a distance limit has been met.
inline constexpr double kLimitMet = -99999999999999.0;

// State of one navigation pass; a fresh one is made for every pass, but for
// its marks, which a caller may carry from pass to pass (cleared by Reset).
struct NavState {
  ResultList results;
  SpecialCaseList specials;
  double dCumTravelDistance = 0.0;
  std::int16_t noNextReach = 0;
  std::int16_t startBlocked = 0;
  std::int16_t lakeNoMainpathSeen = 0;
  std::int16_t divergenceSeen = 0;
  std::int16_t branchFallbackUsed = 0;
  std::int16_t coastmain = 0;
  std::int16_t took709 = 0;
  WalkMarks marks;
};

// What every walk works with: the loaded tables (read only), the state of
// the current pass and the run log.
struct NavContext {
  const NetworkTables& tables;
  NavState& state;
  TextWriter& log;
};

}  // namespace rill
