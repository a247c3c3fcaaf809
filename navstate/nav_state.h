#pragma once

#include <chrono>
#include <cstdint>

#include "navstate/result_list.h"
#include "navstate/walk_marks.h"
#include "network/network_tables.h"
#include "network/piece_list.h"
#include "text/text_writer.h"

namespace rill {

// Marks dCumTravelDistance once a distance limit has been met.
inline constexpr double kLimitMet = -99999999999999.0;

// When a caller wants a walk given up (a service's time limit): the walks
// ask every few thousand steps, so that a walk without one costs a compare.
class WalkDeadline {
 public:
  using Clock = std::chrono::steady_clock;
  WalkDeadline() = default;
  explicit WalkDeadline(Clock::time_point at) : at_(at), set_(true) {}

  // Whether the walk should stop now; once true, true for good.
  bool Passed() {
    if (!set_ || passed_) return passed_;
    if ((++asked_ & 4095u) != 0) return false;
    passed_ = Clock::now() >= at_;
    return passed_;
  }
  bool passed() const { return passed_; }

 private:
  Clock::time_point at_{};
  bool set_ = false;
  bool passed_ = false;
  std::uint32_t asked_ = 0;
};

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
  WalkDeadline deadline;  // carried from the caller's workspace; passed: the walk was cut short
};

// What every walk works with: the loaded tables (read only), the state of
// the current pass and the run log.
struct NavContext {
  const NetworkTables& tables;
  NavState& state;
  TextWriter& log;
};

}  // namespace rill
