// The network walk's work list: reaches found beside the path being
// followed, visited first in, first out once that path has ended.
#pragma once

#include <cstdint>
#include <vector>

#include "navstate/result_list.h"

namespace rill {

// A reach waiting to be visited.
struct RoidEntry {
  std::int32_t Roid = 0;
  double Distance = 0.0;      // travel distance (meters) where the reach is entered
  double StartMeasure = 0.0;  // measure where the reach is entered; 0.0 for none
};

class RoidList {
 public:
  // Appends an entry and answers its position.
  std::int32_t Append(const RoidEntry& entry) {
    entries_.push_back(entry);
    return lastPosition();
  }
  std::int32_t lastPosition() const { return static_cast<std::int32_t>(entries_.size()) - 1; }
  std::int32_t takePosition() const { return takePosition_; }
  const RoidEntry& at(std::int32_t position) const { return entries_[static_cast<std::size_t>(position)]; }

  // Moves past the next entry and every later one whose reach is already
  // output. Answers the entry now at the take position, or nullptr when the
  // list is used up. A reach may stand in the list more than once; only its
  // first turn before it is output counts.
  const RoidEntry* TakeNext(const ResultList& results) {
    ++takePosition_;
    while (takePosition_ <= lastPosition() && results.IsInResults(at(takePosition_).Roid)) ++takePosition_;
    return takePosition_ <= lastPosition() ? &at(takePosition_) : nullptr;
  }

 private:
  std::vector<RoidEntry> entries_;
  std::int32_t takePosition_ = -1;
};

}  // namespace rill
