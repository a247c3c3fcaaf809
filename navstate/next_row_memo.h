#pragma once

#include <cstdint>

namespace rill {

// Which flow row the next-reach choice takes from a reach depends only on the
// reach and, downstream, on whether a Dir 709 row was taken before: within
// one pass it is worked out once per reach (kept in WalkMarks), so a walk
// that keeps coming back to a reach with a long block of rows does not
// search it again each time.
struct NextRowMemo {
  static constexpr std::int32_t kUnknown = -2;

  struct Choice {
    std::int32_t downstream[2] = {kUnknown, kUnknown};  // by took709
    std::int32_t upstream = kUnknown;
    std::int8_t upstreamPass = 0;  // 1..4, the pass that found `upstream`; 0 none
    bool upstreamVetoed = false;   // a Dir 712 row drops the choice
  };
};

}  // namespace rill
