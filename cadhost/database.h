// The drawing database of one document: what a drawing holds, in a form the
// host edits and the DXF reader and writer fill and walk.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cadhost/block.h"
#include "cadhost/entity.h"
#include "cadhost/handle_index.h"
#include "cadhost/header.h"
#include "cadhost/record_store.h"
#include "cadhost/symbol_table.h"
#include "cadhost/tables.h"

namespace cadhost {

// A section of the file the host does not model, kept as read: the tags
// between "2 <name>" and "0 ENDSEC".
struct RawSection {
  std::string name;  // "CLASSES", "OBJECTS", "THUMBNAILIMAGE", "ACDSDATA", ...
  dxf::Tags tags;
};

// A table the host does not model (VPORT, LTYPE, STYLE, VIEW, DIMSTYLE, ...):
// every tag from "0 TABLE" to "0 ENDTAB" inclusive.
struct RawTable {
  std::string name;  // 2 of the TABLE
  dxf::Tags tags;
};

// Everything in the file that the host does not model, for writing back.
struct UnmodelledContent {
  std::vector<RawSection> sections;     // in file order
  std::vector<RawTable> tables;         // in file order
  std::vector<std::string> tableOrder;  // every table name, modelled or not, in file order
  // Whatever else the DXF side wants to keep with the drawing; the host never
  // looks inside.
  std::shared_ptr<void> dxfState;
};

// Owns every record of one drawing. Records are addressed by ids (their slot
// in the store), never by DXF handles; handles are looked up through an index.
// Records are never removed, only marked erased, so ids stay valid and an undo
// can restore them. The host's editing layer records every change it makes
// here; the loader fills a database directly (add with a given handle and
// source), and the writer walks tables, blocks and entities in their order.
//
// A drawing read from a file of another format (a DWG drawing): the file it
// came from and what its reader could not carry, which the user is told once.
struct ImportedDrawing {
  std::string sourcePath;
  std::vector<std::string> losses;  // "2 MULTILEADER", "the true colours of 3 entities", ...
};

// Model space entities and those of the active paper-space layout are the
// ENTITIES section of a file; the writer writes model space first.
class Database {
 public:
  // An empty database with nothing in it, for the loader to fill.
  Database() = default;
  // A new drawing as the host starts one: layer "0", the "ACAD" application,
  // model space and one paper-space layout, each with its BLOCK_RECORD.
  static std::unique_ptr<Database> CreateNew();

  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  Header header;
  SymbolTable<LayerRecord> layers;
  SymbolTable<AppIdRecord> appIds;
  SymbolTable<UcsRecord> ucss;
  SymbolTable<BlockRecordEntry> blockRecords;
  UnmodelledContent unmodelled;
  std::optional<ImportedDrawing> imported;  // none for a drawing read from DXF

  // Handles. A new handle is $HANDSEED, which is then raised. The loader
  // reports every handle it reads so the seed ends above all of them.
  Handle NewHandle();
  void NoteHandle(Handle handle);
  // Makes room for that many more entities, so a loader adding them one by one
  // does not regrow the handle index.
  void ReserveEntities(std::size_t count);

  // Block containers, in file order (erased ones included).
  std::uint32_t BlockCount() const { return static_cast<std::uint32_t>(blocks_.size()); }
  BlockDefinition& Block(BlockId id) { return blocks_.at(id.value - 1); }
  const BlockDefinition& Block(BlockId id) const { return blocks_.at(id.value - 1); }
  // The live block of that name, compared without regard to case.
  BlockId FindBlock(std::string_view name) const;
  // Appends a block definition; a zero handle gets a new one. When the block
  // names a layout "*Model_Space" or "*Paper_Space" (R12: "$MODEL_SPACE",
  // "$PAPER_SPACE") it becomes that space and is flagged as a layout; the
  // paper-space layouts ("*Paper_Space...") are flagged as paper space. Throws
  // std::invalid_argument when a live block has that name or the handle is in use.
  BlockId AddBlock(BlockDefinition block);
  void SetBlockErased(BlockId id, bool erased);
  BlockId ModelSpace() const { return modelSpace_; }
  BlockId PaperSpace() const { return paperSpace_; }

  // Entities, erased ones included.
  std::uint32_t EntityCount() const { return static_cast<std::uint32_t>(entities_.size()); }
  Entity& At(EntityId id) { return entities_.at(id.value - 1); }
  const Entity& At(EntityId id) const { return entities_.at(id.value - 1); }
  // Appends an entity to a block container's list; a zero handle gets a new
  // one, a zero owner becomes the container's BLOCK_RECORD handle. Throws
  // std::invalid_argument when the handle is in use.
  EntityId AddEntity(BlockId container, Entity entity);
  // Adds an ATTRIB or SEQEND after an INSERT, or a VERTEX or SEQEND after a
  // POLYLINE, and lists it in its parent; a zero owner becomes the parent's handle.
  EntityId AddSubEntity(EntityId parent, Entity entity);
  // Marks an entity (with its sub-entities) erased or brings it back.
  void SetEntityErased(EntityId id, bool erased);
  // The live entity or sub-entity with that handle; none when there is none.
  EntityId FindEntity(Handle handle) const;

 private:
  void ClaimHandle(Handle handle);
  // The seed's next handle nothing uses, the seed raised past it; recorded
  // nowhere (NewHandle records it; an added entity is in the entity index).
  Handle NextFreeHandle();

  std::deque<BlockDefinition> blocks_;
  std::unordered_map<std::string, BlockId> blockByName_;
  BlockId modelSpace_;
  BlockId paperSpace_;
  RecordStore<Entity> entities_;
  HandleIndex entityByHandle_;
  // Handles of everything but entities (tables, blocks, handles given out);
  // entity handles are in entityByHandle_, so each is stored once.
  std::unordered_set<Handle> handlesInUse_;
};

}  // namespace cadhost
