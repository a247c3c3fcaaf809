#pragma once

#include <cstdint>
#include <vector>

#include "navstate/next_row_memo.h"

namespace rill {

// What a pass marks on the reaches it meets, by their dense ids: whether a
// record was output for the reach, and its next-row choice. Arrays by dense
// id, each with the list of the ids a pass touched: a new pass clears those
// only, so that a worker keeps the marks from request to request and no
// request clears fresh memory.
class WalkMarks {
 public:
  // Sizes the marks for ids [0, count); done once, before the first pass.
  // The memo array, which only mainstem walks use, is sized when first used.
  void Prepare(std::size_t count) {
    if (count_ < count) count_ = count;
    if (visited_.size() < count_) visited_.resize(count_, 0);
  }
  // Clears what the last pass marked.
  void Reset() {
    for (std::int32_t id : visitedIds_) visited_[static_cast<std::size_t>(id)] = 0;
    visitedIds_.clear();
    for (const Memo& m : memos_) memoOf_[static_cast<std::size_t>(m.id)] = -1;
    memos_.clear();
  }
  bool Visited(std::int32_t id) const {
    const auto i = static_cast<std::size_t>(id);
    return i < visited_.size() && visited_[i] != 0;
  }
  void MarkVisited(std::int32_t id) {
    const auto i = static_cast<std::size_t>(id);
    if (i >= visited_.size()) visited_.resize(Grown(i), 0);  // a pass made without Prepare
    if (visited_[i] != 0) return;
    visited_[i] = 1;
    visitedIds_.push_back(id);
  }
  NextRowMemo::Choice& MemoFor(std::int32_t id) {
    const auto i = static_cast<std::size_t>(id);
    if (i >= memoOf_.size()) memoOf_.resize(Grown(i), -1);
    std::int32_t& slot = memoOf_[i];
    if (slot < 0) {
      slot = static_cast<std::int32_t>(memos_.size());
      memos_.push_back(Memo{id, {}});
    }
    return memos_[static_cast<std::size_t>(slot)].choice;
  }

 private:
  struct Memo {
    std::int32_t id = 0;
    NextRowMemo::Choice choice;
  };
  std::size_t Grown(std::size_t i) const { return i < count_ ? count_ : i + 1 + i / 2; }

  std::size_t count_ = 0;
  std::vector<std::uint8_t> visited_;     // by dense id: 1 once a record was output for it
  std::vector<std::int32_t> visitedIds_;  // the ids marked visited this pass
  std::vector<std::int32_t> memoOf_;      // by dense id: its entry in memos_, -1 none
  std::vector<Memo> memos_;               // the ids this pass worked out a choice for
};

}  // namespace rill
