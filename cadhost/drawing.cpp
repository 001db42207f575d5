#include "cadhost/drawing.h"

#include <cmath>
#include <set>
#include <span>

#include "cadhost/names.h"

namespace cadhost {

Drawing::Drawing(std::unique_ptr<Database> database) : db_(std::move(database)) {}

// ---- entities -------------------------------------------------------------

EntityId Drawing::AddEntity(BlockId container, Entity entity) {
  entity.modified = true;
  entity.paperSpace = db_->Block(container).paperSpace;
  EntityId id = db_->AddEntity(container, std::move(entity));
  Touch();
  if (db_->Block(container).layout)
    Reindex(id);
  else
    BlockContentChanged(container);
  journal_.Record(EntityChange{EntityChange::Kind::Added, id, nullptr});
  return id;
}

EntityId Drawing::AddSubEntity(EntityId parent, Entity entity) {
  entity.modified = true;
  EntityId id = db_->AddSubEntity(parent, std::move(entity));
  Touch();
  Reindex(parent);
  journal_.Record(EntityChange{EntityChange::Kind::Added, id, nullptr});
  return id;
}

void Drawing::ChangeEntity(EntityId id, const std::function<void(Entity&)>& change) {
  Entity& entity = db_->At(id);
  auto before = std::make_unique<Entity>(entity);
  change(entity);
  entity.modified = true;
  EntityChanged(id);
  journal_.Record(EntityChange{EntityChange::Kind::Replaced, id, std::move(before)});
}

void Drawing::SwapEntityState(EntityId id, Entity& other) {
  std::swap(db_->At(id), other);
  EntityChanged(id);
}

void Drawing::EntityChanged(EntityId id) {
  Touch();
  EntityId top = TopLevel(id);
  Reindex(top);
  BlockId container = db_->At(top).container;
  if (container && !db_->Block(container).layout) BlockContentChanged(container);
}

void Drawing::EraseEntity(EntityId id) {
  if (db_->At(id).erased) return;
  SetEntityErased(id, true);
  journal_.Record(EntityChange{EntityChange::Kind::Erased, id, nullptr});
}

void Drawing::SetEntityErased(EntityId id, bool erased) {
  db_->SetEntityErased(id, erased);
  Touch();
  ++erasureVersion_;
  EntityChanged(id);
}

EntityId Drawing::TopLevel(EntityId id) const {
  const Entity& entity = db_->At(id);
  return entity.parent ? entity.parent : id;
}

EntityId Drawing::LastEntity() const {
  for (std::uint32_t value = db_->EntityCount(); value > 0; --value) {
    const Entity& entity = db_->At(EntityId{value});
    if (!entity.erased && entity.container && db_->Block(entity.container).layout &&
        !db_->Block(entity.container).erased)
      return EntityId{value};
  }
  return {};
}

const std::vector<EntityId>& Drawing::LiveEntities(BlockId block) {
  LiveList& list = liveLists_[block.value];
  if (list.version != version_) {
    list.ids.clear();
    for (EntityId id : db_->Block(block).entities)
      if (!db_->At(id).erased) list.ids.push_back(id);
    list.version = version_;
  }
  return list.ids;
}

// ---- tables, blocks, header -------------------------------------------------

std::uint32_t Drawing::AddLayer(LayerRecord layer) {
  if (layer.handle == 0) layer.handle = db_->NewHandle();
  layer.owner = db_->layers.head.handle;
  layer.modified = true;
  auto index = db_->layers.Add(std::move(layer));
  journal_.Record({[this, index] { db_->layers.SetErased(index, true); },
                   [this, index] { db_->layers.SetErased(index, false); }});
  return index;
}

std::uint32_t Drawing::AddUcs(UcsRecord ucs) {
  if (ucs.handle == 0) ucs.handle = db_->NewHandle();
  ucs.owner = db_->ucss.head.handle;
  ucs.modified = true;
  auto index = db_->ucss.Add(std::move(ucs));
  journal_.Record({[this, index] { db_->ucss.SetErased(index, true); },
                   [this, index] { db_->ucss.SetErased(index, false); }});
  return index;
}

void Drawing::ChangeUcs(std::uint32_t index, const std::function<void(UcsRecord&)>& change) {
  UcsRecord before = db_->ucss.At(index);
  change(db_->ucss.At(index));
  db_->ucss.At(index).modified = true;
  UcsRecord after = db_->ucss.At(index);
  journal_.Record({[this, index, before] { db_->ucss.At(index) = before; },
                   [this, index, after] { db_->ucss.At(index) = after; }});
}

std::uint32_t Drawing::RegisterApplication(const std::string& name) {
  if (auto index = db_->appIds.Find(name)) return index;
  AppIdRecord record;
  record.name = name;
  record.handle = db_->NewHandle();
  record.owner = db_->appIds.head.handle;
  record.modified = true;
  auto index = db_->appIds.Add(std::move(record));
  journal_.Record({[this, index] { db_->appIds.SetErased(index, true); },
                   [this, index] { db_->appIds.SetErased(index, false); }});
  return index;
}

BlockId Drawing::AddBlock(BlockDefinition block) {
  BlockRecordEntry record;
  record.name = block.name;
  record.handle = db_->NewHandle();
  record.owner = db_->blockRecords.head.handle;
  record.modified = true;
  block.owner = record.handle;
  block.modified = true;
  if (block.endHandle == 0) block.endHandle = db_->NewHandle();
  auto recordIndex = db_->blockRecords.Add(std::move(record));
  block.recordIndex = recordIndex;
  BlockId id = db_->AddBlock(std::move(block));
  db_->blockRecords.At(recordIndex).block = id;
  Touch();
  journal_.Record({[this, id, recordIndex] {
                     db_->SetBlockErased(id, true);
                     db_->blockRecords.SetErased(recordIndex, true);
                   },
                   [this, id, recordIndex] {
                     db_->SetBlockErased(id, false);
                     db_->blockRecords.SetErased(recordIndex, false);
                   }});
  return id;
}

void Drawing::ChangeHeader(const std::function<void(Header&)>& change) {
  Header before = db_->header;
  change(db_->header);
  db_->header.modified = true;
  // The handle seed only ever grows: an undo must not hand out a handle twice.
  auto restore = [this](Header state) {
    state.handSeed = std::max(state.handSeed, db_->header.handSeed);
    db_->header = std::move(state);
  };
  Header after = db_->header;
  journal_.Record({[restore, before] { restore(before); }, [restore, after] { restore(after); }});
}

void Drawing::ChangeBlock(BlockId id, const std::function<void(BlockDefinition&)>& change) {
  BlockDefinition before = db_->Block(id);
  change(db_->Block(id));
  db_->Block(id).modified = true;
  BlockDefinition after = db_->Block(id);
  // Only the block's own fields change here; its entity list stays as it is.
  auto restore = [this, id](const BlockDefinition& state) {
    auto entities = std::move(db_->Block(id).entities);
    db_->Block(id) = state;
    db_->Block(id).entities = std::move(entities);
  };
  journal_.Record({[restore, before] { restore(before); }, [restore, after] { restore(after); }});
}

std::string Drawing::CurrentLayer() const {
  const LayerRecord* layer = db_->layers.FindRecord(db_->header.currentLayer);
  return layer ? layer->name : "0";
}

Drawing::Sizes Drawing::CurrentSizes() const {
  return {db_->EntityCount(),   db_->BlockCount(), db_->layers.Size(),
          db_->appIds.Size(),   db_->ucss.Size(),  db_->blockRecords.Size()};
}

void Drawing::RecordAdditions(const Sizes& before) {
  Sizes after = CurrentSizes();
  if (after.entities == before.entities && after.blocks == before.blocks &&
      after.layers == before.layers && after.appIds == before.appIds &&
      after.ucss == before.ucss && after.records == before.records)
    return;
  auto setErased = [this, before, after](bool erased) {
    for (auto v = before.entities + 1; v <= after.entities; ++v) db_->SetEntityErased(EntityId{v}, erased);
    for (auto v = before.blocks + 1; v <= after.blocks; ++v) db_->SetBlockErased(BlockId{v}, erased);
    for (auto i = before.layers + 1; i <= after.layers; ++i) db_->layers.SetErased(i, erased);
    for (auto i = before.appIds + 1; i <= after.appIds; ++i) db_->appIds.SetErased(i, erased);
    for (auto i = before.ucss + 1; i <= after.ucss; ++i) db_->ucss.SetErased(i, erased);
    for (auto i = before.records + 1; i <= after.records; ++i) db_->blockRecords.SetErased(i, erased);
    Touch();
    blockBoxes_.clear();
    for (auto v = before.entities + 1; v <= after.entities; ++v) Reindex(TopLevel(EntityId{v}));
    // A new block may be what references to a so far missing block show.
    for (auto v = before.blocks + 1; v <= after.blocks; ++v) BlockContentChanged(BlockId{v});
  };
  setErased(false);
  journal_.Record({[setErased] { setErased(true); }, [setErased] { setErased(false); }});
}

// ---- indexes ----------------------------------------------------------------

SelectionIndex& Drawing::index() {
  if (!index_) {
    index_ = std::make_unique<SelectionIndex>();
    std::vector<SelectionIndex::Entry> entries;
    for (std::uint32_t b = 1; b <= db_->BlockCount(); ++b) {
      const BlockDefinition& block = db_->Block(BlockId{b});
      if (!block.layout || block.erased) continue;
      for (EntityId id : block.entities)
        if (!db_->At(id).erased) entries.push_back(IndexEntry(id));
    }
    index_->Build(std::move(entries));
  }
  FlushReindex();
  return *index_;
}

bool Drawing::Indexable(EntityId id) const {
  const Entity& entity = db_->At(id);
  if (entity.erased || entity.parent || !entity.container) return false;
  const BlockDefinition& block = db_->Block(entity.container);
  return block.layout && !block.erased;
}

void Drawing::Reindex(EntityId id) {
  if (!index_) return;
  if (pendingFlags_.size() <= id.value) pendingFlags_.resize(id.value + 1 + pendingFlags_.size() / 2);
  if (pendingFlags_[id.value]) return;
  pendingFlags_[id.value] = true;
  pendingReindex_.push_back(id);
}

void Drawing::FlushReindex() {
  // Each entry is made from the entity as it is now, whatever changed it since.
  for (EntityId id : pendingReindex_) {
    pendingFlags_[id.value] = false;
    ReindexNow(id);
  }
  pendingReindex_.clear();
}

void Drawing::ReindexNow(EntityId id) {
  if (Indexable(id))
    index_->Insert(IndexEntry(id));
  else
    index_->Remove(id);
}

SelectionIndex::Entry Drawing::IndexEntry(EntityId id) const {
  const Entity& entity = db_->At(id);
  SelectionIndex::Entry entry;
  entry.id = id;
  entry.type = entity.type;
  entry.layer = entity.layer;
  for (const auto& x : entity.xdata) entry.xdataApps.push_back(x.application);
  if (const auto* insert = std::get_if<InsertData>(&entity.data)) {
    entry.blockName = insert->blockName;
    // A box sure to hold the reference: its block's box mapped corner by corner.
    BlockId block = db_->FindBlock(insert->blockName);
    Box3 content = block ? BlockBox(block) : Box3{};
    if (!content.Empty()) {
      const BlockDefinition& definition = db_->Block(block);
      double c = std::cos(insert->rotation), s = std::sin(insert->rotation);
      int columns = std::max(1, insert->columns), rows = std::max(1, insert->rows);
      // The corner cells of the grid: one cell for a plain reference.
      const int rowEnds[2] = {0, rows - 1}, columnEnds[2] = {0, columns - 1};
      for (int row : std::span(rowEnds, rows > 1 ? 2u : 1u))
        for (int column : std::span(columnEnds, columns > 1 ? 2u : 1u)) {
          double u = column * insert->columnSpacing, v = row * insert->rowSpacing;
          Point at{insert->insertion.x + u * c - v * s, insert->insertion.y + u * s + v * c,
                   insert->insertion.z};
          auto t = Transform::Placement(definition.base, at, insert->xScale, insert->yScale,
                                        insert->zScale, insert->rotation);
          if (!IsWorldNormal(insert->normal)) t = t.Then(OcsToWorld(insert->normal));
          for (double x : {content.min.x, content.max.x})
            for (double y : {content.min.y, content.max.y})
              for (double z : {content.min.z, content.max.z}) entry.extents.Add(t.Apply({x, y, z}));
        }
    }
    for (EntityId attribute : insert->attributes) {
      const Entity& attrib = db_->At(attribute);
      const auto* data = std::get_if<AttribData>(&attrib.data);
      if (attrib.erased || !data || (data->flags & 1) != 0) continue;
      // The attribute's text rectangle, as its outline has it.
      for (const Point& corner : TextCorners(data->text)) entry.extents.Add(OcsToWcs(corner, data->text.normal));
    }
    if (entry.extents.Empty()) entry.extents.Add(OcsToWcs(insert->insertion, insert->normal));
  } else {
    entry.extents = Extents(id);
  }
  return entry;
}

Box3 Drawing::BlockBox(BlockId block) const {
  auto it = blockBoxes_.find(block.value);
  if (it != blockBoxes_.end()) return it->second;
  Outline outline;
  AppendBlockOutline(*db_, block, Transform{}, outline);
  Box3 box = outline.Extents();
  blockBoxes_.emplace(block.value, box);
  return box;
}

void Drawing::BlockContentChanged(BlockId block) {
  blockBoxes_.clear();
  if (!index_) return;
  FlushReindex();
  // Every block whose content shows this one, directly or nested, changes too.
  std::set<std::string> changed{FoldName(db_->Block(block).name)};
  for (bool grew = true; grew;) {
    grew = false;
    for (std::uint32_t b = 1; b <= db_->BlockCount(); ++b) {
      const BlockDefinition& definition = db_->Block(BlockId{b});
      if (definition.layout || definition.erased || changed.contains(FoldName(definition.name)))
        continue;
      for (EntityId id : definition.entities) {
        const auto* insert = std::get_if<InsertData>(&db_->At(id).data);
        if (insert && !db_->At(id).erased && changed.contains(FoldName(insert->blockName))) {
          changed.insert(FoldName(definition.name));
          grew = true;
          break;
        }
      }
    }
  }
  for (const std::string& name : changed) {
    std::vector<EntityId> references = index_->Listed(IndexKey::BlockName, name);
    for (EntityId id : references)
      if (index_->Contains(id)) Reindex(id);
  }
}

Outline Drawing::OutlineOf(EntityId id) const {
  Outline outline;
  AppendOutline(*db_, db_->At(id), Transform{}, outline);
  return outline;
}

Box3 Drawing::Extents(EntityId id) const { return OutlineOf(id).Extents(); }

}  // namespace cadhost
