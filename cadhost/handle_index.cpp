#include "cadhost/handle_index.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace cadhost {

namespace {
// The table is filled to at most 4/5 of its slots.
std::size_t SlotsFor(std::size_t count) { return std::bit_ceil(std::max<std::size_t>(16, count + count / 4 + 1)); }
}  // namespace

std::size_t HandleIndex::SlotOf(Handle handle) const {
  // A file numbers its entities one after another, and a reader adds and looks
  // them up in that order: handles that differ only in their low six bits stay
  // neighbours, so those lookups touch memory already at hand. The rest of the
  // handle is spread over the table by a multiplicative hash, so that handles
  // far apart (or numbered in strides) do not pile up in one place.
  const Handle spread = ((handle >> 6) * 0x9E3779B97F4A7C15ULL) >> shift_;
  return static_cast<std::size_t>((spread << 6) + (handle & 63)) & (slots_.size() - 1);
}

void HandleIndex::Reserve(std::size_t count) {
  if (SlotsFor(count) > slots_.size()) Rehash(SlotsFor(count));
}

EntityId HandleIndex::Find(Handle handle) const {
  if (handle == 0 || count_ == 0) return {};
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = SlotOf(handle);; slot = (slot + 1) & mask) {
    const Slot entry = slots_[slot];
    if (entry.handle == handle) return EntityId{entry.id};
    if (entry.handle == 0) return {};
  }
}

void HandleIndex::Add(Handle handle, EntityId id) {
  if (handle == 0) throw std::invalid_argument("an entity without a handle cannot be indexed");
  if (SlotsFor(count_ + 1) > slots_.size()) Rehash(std::max(SlotsFor(count_ + 1), slots_.size() * 2));
  Place(Slot{handle, id.value});
  ++count_;
}

void HandleIndex::Place(Slot entry) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = SlotOf(entry.handle);
  while (slots_[slot].handle != 0) slot = (slot + 1) & mask;
  slots_[slot] = entry;
}

void HandleIndex::Rehash(std::size_t slots) {
  std::vector<Slot, LargeArrayAllocator<Slot>> old(slots, Slot{0, 0});
  old.swap(slots_);
  shift_ = 64 - std::max(std::countr_zero(slots) - 6, 1);  // the spread part: all but the low six bits of a slot
  for (const Slot entry : old)
    if (entry.handle != 0) Place(entry);
}

}  // namespace cadhost
