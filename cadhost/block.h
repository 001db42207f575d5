// Block definitions, including model space and paper-space layouts.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cadhost/entity.h"
#include "cadhost/record.h"

namespace cadhost {

// BLOCK flags (70).
inline constexpr int kBlockAnonymous = 1;
// Must be set when the block has non-constant ATTDEFs, or other CAD programs
// treat it as having no attributes.
inline constexpr int kBlockHasAttributes = 2;
inline constexpr int kBlockXref = 4;
inline constexpr int kBlockXrefOverlay = 8;
inline constexpr int kBlockExternallyDependent = 16;

// One block container: a block definition, model space ("*Model_Space") or a
// paper-space layout ("*Paper_Space", "*Paper_Space0", ...). The DxfRecord part
// is the BLOCK entity (handle, owner = the BLOCK_RECORD, source); the ENDBLK is
// kept beside it. Entities are listed in drawing order; an erased entity keeps
// its place in the list so that an undo restores the order too.
struct BlockDefinition : DxfRecord {
  std::string name;        // 2 (and 3)
  Point base;              // 10
  int flags = 0;           // 70
  std::string layer = "0"; // 8
  std::string xrefPath;    // 1
  std::string description; // 4
  bool layout = false;     // model space or a paper-space layout
  bool paperSpace = false; // 67 on the BLOCK entity

  Handle endHandle = 0;                        // ENDBLK 5
  std::optional<dxf::Tags> endSource;  // ENDBLK as read

  std::vector<EntityId> entities;
  std::uint32_t recordIndex = 0;  // 1-based index into Database::blockRecords(); 0 = none

  bool IsXref() const { return (flags & (kBlockXref | kBlockXrefOverlay)) != 0; }
  bool IsAnonymous() const { return (flags & kBlockAnonymous) != 0 || name.starts_with('*'); }
};

}  // namespace cadhost
