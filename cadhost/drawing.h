// The editing layer of one open drawing: every change goes through here.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "cadhost/database.h"
#include "cadhost/geometry.h"
#include "cadhost/journal.h"
#include "cadhost/selection_index.h"

namespace cadhost {

// Owns a drawing database, the journal of its changes and its selection
// indexes, and keeps the three in step: each change is applied to the
// database, recorded with the means to take it back, marks the changed record
// `modified`, and updates the indexes. Readers get the database read-only.
class Drawing : private EntityChangeTarget {
 public:
  explicit Drawing(std::unique_ptr<Database> database);

  const Database& db() const { return *db_; }
  Journal& journal() { return journal_; }
  const Journal& journal() const { return journal_; }

  // Entities.
  EntityId AddEntity(BlockId container, Entity entity);
  EntityId AddSubEntity(EntityId parent, Entity entity);
  void ChangeEntity(EntityId id, const std::function<void(Entity&)>& change);
  void EraseEntity(EntityId id);
  // The last live entity created in model space or a paper-space layout.
  EntityId LastEntity() const;
  // The live entities of a block container, in drawing order.
  const std::vector<EntityId>& LiveEntities(BlockId block);
  // Grows each time an entity is erased or brought back, so that lists of
  // entities can tell whether any of theirs may have dropped out.
  std::uint64_t ErasureVersion() const { return erasureVersion_; }
  // Top-level entity of a sub-entity (the INSERT of an ATTRIB); itself otherwise.
  EntityId TopLevel(EntityId id) const;

  // Tables, blocks and header.
  std::uint32_t AddLayer(LayerRecord layer);
  std::uint32_t AddUcs(UcsRecord ucs);
  void ChangeUcs(std::uint32_t index, const std::function<void(UcsRecord&)>& change);
  // The APPID entry of that name, registered when missing.
  std::uint32_t RegisterApplication(const std::string& name);
  // A new block definition with its BLOCK_RECORD.
  BlockId AddBlock(BlockDefinition block);
  void ChangeHeader(const std::function<void(Header&)>& change);
  void ChangeBlock(BlockId id, const std::function<void(BlockDefinition&)>& change);
  // The layer new entities go on: the current layer, or "0" when the drawing
  // names a current layer it does not have.
  std::string CurrentLayer() const;
  // Runs `addition`, which may only add records to the database (a drawing
  // file loaded as a block), and records what it added so an undo removes it.
  template <class Result>
  Result AddFrom(const std::function<Result(Database&)>& addition);

  // Selection indexes.
  SelectionIndex& index();
  Box3 Extents(EntityId id) const;   // exact, from the outline
  Outline OutlineOf(EntityId id) const;

 private:
  struct Sizes {
    std::uint32_t entities = 0, blocks = 0, layers = 0, appIds = 0, ucss = 0, records = 0;
  };
  Sizes CurrentSizes() const;
  void RecordAdditions(const Sizes& before);
  void SetEntityErased(EntityId id, bool erased) override;
  void SwapEntityState(EntityId id, Entity& other) override;
  // Reindexes a changed entity and refreshes the blocks whose content it is.
  void EntityChanged(EntityId id);
  // Notes that an entity's index entry is out of date; the entry is brought up
  // to date before the index is next read, so the several changes that make
  // one reference (the reference, its attributes, its layer and extended
  // data) cost one update of the index instead of one each.
  void Reindex(EntityId id);
  void FlushReindex();
  void ReindexNow(EntityId id);
  bool Indexable(EntityId id) const;
  SelectionIndex::Entry IndexEntry(EntityId id) const;
  Box3 BlockBox(BlockId block) const;
  void BlockContentChanged(BlockId block);
  void Touch() { ++version_; }

  std::unique_ptr<Database> db_;
  Journal journal_{*this};
  std::unique_ptr<SelectionIndex> index_;  // built on first use
  std::vector<EntityId> pendingReindex_;   // in the order first noted
  std::vector<bool> pendingFlags_;         // per entity id: in pendingReindex_
  mutable std::unordered_map<std::uint32_t, Box3> blockBoxes_;
  struct LiveList {
    std::uint64_t version = 0;
    std::vector<EntityId> ids;
  };
  std::unordered_map<std::uint32_t, LiveList> liveLists_;
  std::uint64_t version_ = 1;  // grows with every change of any entity list
  std::uint64_t erasureVersion_ = 1;
};

template <class Result>
Result Drawing::AddFrom(const std::function<Result(Database&)>& addition) {
  Sizes before = CurrentSizes();
  struct Recorder {
    Drawing& drawing;
    Sizes before;
    ~Recorder() { drawing.RecordAdditions(before); }
  } recorder{*this, before};
  return addition(*db_);
}

}  // namespace cadhost
