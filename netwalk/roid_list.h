// The network walk's work list: reaches found beside the path being
// followed, visited first in, first out once that path has ended.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "navstate/result_list.h"
#include "navstate/walk_marks.h"

namespace rill {

// A reach waiting to be visited.
struct RoidEntry {
  std::int32_t Roid = 0;
  double Distance = 0.0;      // travel distance (meters) where the reach is entered
  double StartMeasure = 0.0;  // measure where the reach is entered; 0.0 for none
  std::int32_t id = -1;       // the reach's dense id
};

// Positions count every entry ever appended; the list keeps only those from
// the take position on, so that a walk of a whole basin holds its frontier,
// not every reach it queued.
class RoidList {
 public:
  // Appends an entry and answers its position.
  std::int32_t Append(const RoidEntry& entry) {
    entries_.push_back(entry);
    return lastPosition();
  }
  std::int32_t lastPosition() const { return base_ + static_cast<std::int32_t>(entries_.size()) - 1; }
  std::int32_t takePosition() const { return takePosition_; }
  // An entry from the take position on.
  const RoidEntry& at(std::int32_t position) const { return entries_[static_cast<std::size_t>(position - base_)]; }

  // Moves past the next entry and every later one whose reach is already
  // output. Answers the entry now at the take position, or nullptr when the
  // list is used up; the entry stays valid until the next call. A reach may
  // stand in the list more than once; only its first turn before it is
  // output counts.
  // The walk asks its marks by dense id; other callers the result list.
  const RoidEntry* TakeNext(const WalkMarks& marks) {
    return TakeNextWhere([&](const RoidEntry& e) { return marks.Visited(e.id); });
  }
  const RoidEntry* TakeNext(const ResultList& results) {
    return TakeNextWhere([&](const RoidEntry& e) { return results.IsInResults(e.Roid); });
  }

 private:
  // Entries passed are dropped once they are most of the list and many:
  // each is moved at most once more on average.
  static constexpr std::int32_t kDropAtLeast = 4096;

  template <typename Output>
  const RoidEntry* TakeNextWhere(Output output) {
    ++takePosition_;
    while (takePosition_ <= lastPosition() && output(at(takePosition_))) ++takePosition_;
    const std::int32_t passed = takePosition_ - base_;
    if (passed >= kDropAtLeast && static_cast<std::size_t>(passed) * 2 >= entries_.size()) {
      entries_.erase(entries_.begin(), entries_.begin() + std::min<std::ptrdiff_t>(passed, std::ssize(entries_)));
      base_ += passed;
    }
    return takePosition_ <= lastPosition() ? &at(takePosition_) : nullptr;
  }

  std::vector<RoidEntry> entries_;
  std::int32_t base_ = 0;  // the position of entries_[0]
  std::int32_t takePosition_ = -1;
};

}  // namespace rill
