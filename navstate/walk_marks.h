#pragma once

#include <cstdint>
#include <vector>

#include "navstate/next_row_memo.h"

namespace rill {

// What a pass marks on the reaches it meets, by their dense ids: whether a
// record was output for the reach, and its next-row choice. One array by
// dense id points into the few slots a pass touched; a new pass clears
// those slots only, so that a worker keeps the marks from request to
// request and no request clears fresh memory.
class WalkMarks {
 public:
  // Sizes the array for ids [0, count); done once, before the first pass.
  void Prepare(std::size_t count) {
    if (slotOf_.size() < count) slotOf_.resize(count, -1);
  }
  // Clears what the last pass marked.
  void Reset() {
    for (const Slot& s : slots_) slotOf_[static_cast<std::size_t>(s.id)] = -1;
    slots_.clear();
  }
  bool Visited(std::int32_t id) const {
    const std::int32_t slot = SlotOf(id);
    return slot >= 0 && slots_[static_cast<std::size_t>(slot)].visited;
  }
  void MarkVisited(std::int32_t id) { SlotFor(id).visited = true; }
  NextRowMemo::Choice& Memo(std::int32_t id) { return SlotFor(id).choice; }

 private:
  struct Slot {
    std::int32_t id = 0;
    bool visited = false;
    NextRowMemo::Choice choice;
  };
  std::int32_t SlotOf(std::int32_t id) const {
    const auto i = static_cast<std::size_t>(id);
    return i < slotOf_.size() ? slotOf_[i] : -1;
  }
  Slot& SlotFor(std::int32_t id) {
    const auto i = static_cast<std::size_t>(id);
    // A pass made without Prepare grows the array as it goes.
    if (i >= slotOf_.size()) slotOf_.resize(i + 1 + slotOf_.size() / 2, -1);
    std::int32_t& slot = slotOf_[i];
    if (slot < 0) {
      slot = static_cast<std::int32_t>(slots_.size());
      slots_.push_back(Slot{id, false, {}});
    }
    return slots_[static_cast<std::size_t>(slot)];
  }

  std::vector<std::int32_t> slotOf_;  // dense id -> its slot in slots_, -1 untouched
  std::vector<Slot> slots_;           // the ids this pass touched
};

}  // namespace rill
