// DXF handles and the host's own object ids, kept apart.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cadhost {

// A DXF handle (group 5, 105 on DIMSTYLE, 330 for owners): a number that the
// drawing file stores as upper-case hexadecimal text. 0 means "none".
using Handle = std::uint64_t;

// Upper-case hexadecimal text of a handle ("1F").
std::string HandleText(Handle handle);
// The handle a hexadecimal text names (either case); nullopt for anything else,
// including an empty text or a value beyond 64 bits.
std::optional<Handle> ParseHandle(std::string_view text);

// A record's identity inside this process: its slot in the database's store of
// that kind. Never written to a file; stays the same across handle changes and
// while the record is erased (so an undo can bring it back). 0 means "none".
template <class Kind>
struct Id {
  std::uint32_t value = 0;
  explicit operator bool() const { return value != 0; }
  friend auto operator<=>(const Id&, const Id&) = default;
};

struct EntityKind;
struct BlockKind;
using EntityId = Id<EntityKind>;
using BlockId = Id<BlockKind>;

}  // namespace cadhost
