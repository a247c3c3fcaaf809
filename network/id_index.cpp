#include "network/id_index.h"

#include "network/prefetch.h"

namespace rill {

namespace {
std::uint64_t Mix(std::int32_t id) {
  std::uint64_t x = static_cast<std::uint32_t>(id);
  x *= 0x9E3779B97F4A7C15ull;
  return x ^ (x >> 29);
}
}  // namespace

void IdIndex::Reserve(std::size_t count) {
  std::size_t want = 16;
  while (want < count * 2) want *= 2;
  if (want <= slots_.size()) return;
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(want, Slot{});
  count_ = 0;
  for (const Slot& s : old)
    if (s.position >= 0) InsertFirst(s.id, s.position);
}

void IdIndex::Grow() { Reserve(slots_.empty() ? 8 : slots_.size()); }

std::size_t IdIndex::SlotOf(std::int32_t id) const {
  std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(Mix(id)) & mask;
  while (slots_[i].position >= 0 && slots_[i].id != id) i = (i + 1) & mask;
  return i;
}

bool IdIndex::InsertFirst(std::int32_t id, std::int32_t position) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  Slot& slot = slots_[SlotOf(id)];
  if (slot.position >= 0) return false;
  slot.id = id;
  slot.position = position;
  ++count_;
  return true;
}

void IdIndex::Prefetch(std::int32_t id) const {
  if (!slots_.empty()) PrefetchRead(&slots_[static_cast<std::size_t>(Mix(id)) & (slots_.size() - 1)]);
}

std::int32_t IdIndex::Find(std::int32_t id) const {
  if (slots_.empty()) return -1;
  return slots_[SlotOf(id)].position;
}

}  // namespace rill
