#pragma once

#include <cstdint>
#include <vector>

namespace rill {

// Open-addressing hash map from a 32-bit id (any value, 0 and negatives
// included) to a 32-bit position. Built once while the tables load; the
// walks then find a reach or a block of rows in constant time.
class IdIndex {
 public:
  // Keeps the first position given for an id; later ones are ignored.
  // Answers whether the id was new.
  bool InsertFirst(std::int32_t id, std::int32_t position);
  // The position stored for id, or -1.
  std::int32_t Find(std::int32_t id) const;
  void Reserve(std::size_t count);
  // Starts fetching the slot where id would be looked for: a loop that
  // looks up ids at random hides the memory's latency by asking ahead.
  void Prefetch(std::int32_t id) const;
  std::size_t size() const { return count_; }

 private:
  struct Slot {
    std::int32_t id = 0;
    std::int32_t position = -1;  // -1 marks an empty slot
  };
  std::size_t SlotOf(std::int32_t id) const;
  void Grow();

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace rill
