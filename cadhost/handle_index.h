// The index from DXF handles to the entities that carry them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cadhost/handle.h"
#include "cadhost/large_arrays.h"

namespace cadhost {

// Finds an entity by its handle. A large drawing has hundreds of thousands of
// entities, so the index keeps each entry in 12 bytes: an open-addressed table
// of handle and id, probed linearly, at most 80 % full, on huge pages once it
// is large (every lookup lands somewhere else in it). A node based map
// (std::unordered_map) costs about 40 bytes an entry, 16 MB for a drawing of
// 400,000 entities; Debian 12's Boost predates its flat maps.
// Entries are only ever added: an erased entity keeps its handle (an undo
// brings it back), and a handle is never given to a second entity.
class HandleIndex {
 public:
  std::size_t size() const { return count_; }
  // Makes room for that many entries in all, so adding them does not regrow.
  void Reserve(std::size_t count);
  // The id that carries `handle`; none when no entity does.
  EntityId Find(Handle handle) const;
  bool Contains(Handle handle) const { return static_cast<bool>(Find(handle)); }
  // Adds `handle` for `id`. The handle is not 0 and not yet in the index.
  void Add(Handle handle, EntityId id);

 private:
  struct Slot;
  std::size_t SlotOf(Handle handle) const;
  // Puts an entry in the first free slot from its own.
  void Place(Slot entry);
  void Rehash(std::size_t slots);

  // Packed: a handle and its id in 12 bytes, read together.
  struct [[gnu::packed]] Slot {
    Handle handle;  // 0 marks a free slot
    std::uint32_t id;
  };
  static_assert(sizeof(Slot) == 12);
  std::vector<Slot, LargeArrayAllocator<Slot>> slots_;  // a power of two of them
  std::size_t count_ = 0;
  int shift_ = 64;  // 64 less the bits of a slot number above its low six
};

}  // namespace cadhost
