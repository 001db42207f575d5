#include "cadhost/database.h"

#include <stdexcept>

#include "cadhost/names.h"

namespace cadhost {

std::unique_ptr<Database> Database::CreateNew() {
  auto db = std::make_unique<Database>();
  auto addTableHead = [&db](TableHead& head) { head.handle = db->NewHandle(); };
  addTableHead(db->layers.head);
  addTableHead(db->appIds.head);
  addTableHead(db->ucss.head);
  addTableHead(db->blockRecords.head);

  LayerRecord layer0;
  layer0.name = "0";
  layer0.handle = db->NewHandle();
  layer0.owner = db->layers.head.handle;
  db->layers.Add(std::move(layer0));

  AppIdRecord acad;
  acad.name = "ACAD";
  acad.handle = db->NewHandle();
  acad.owner = db->appIds.head.handle;
  db->appIds.Add(std::move(acad));

  for (const char* name : {"*Model_Space", "*Paper_Space"}) {
    BlockRecordEntry record;
    record.name = name;
    record.handle = db->NewHandle();
    record.owner = db->blockRecords.head.handle;
    auto recordHandle = record.handle;
    auto recordIndex = db->blockRecords.Add(std::move(record));
    BlockDefinition block;
    block.name = name;
    block.owner = recordHandle;
    block.recordIndex = recordIndex;
    block.endHandle = db->NewHandle();
    auto id = db->AddBlock(std::move(block));
    db->blockRecords.At(recordIndex).block = id;
  }
  return db;
}

Handle Database::NewHandle() {
  const Handle handle = NextFreeHandle();
  handlesInUse_.insert(handle);
  return handle;
}

Handle Database::NextFreeHandle() {
  Handle handle = header.handSeed == 0 ? 1 : header.handSeed;
  while (handlesInUse_.contains(handle) || entityByHandle_.Contains(handle)) ++handle;
  header.handSeed = handle + 1;
  header.modified = true;
  return handle;
}

void Database::NoteHandle(Handle handle) {
  if (handle == 0) return;
  handlesInUse_.insert(handle);
  if (handle >= header.handSeed) header.handSeed = handle + 1;
}

void Database::ReserveEntities(std::size_t count) { entityByHandle_.Reserve(entityByHandle_.size() + count); }

void Database::ClaimHandle(Handle handle) {
  if (entityByHandle_.Contains(handle))
    throw std::invalid_argument("duplicate handle " + HandleText(handle));
  // The entity index holds the handle from now on; only the seed moves here.
  if (handle >= header.handSeed) header.handSeed = handle + 1;
}

BlockId Database::FindBlock(std::string_view name) const {
  auto it = blockByName_.find(FoldName(name));
  return it == blockByName_.end() ? BlockId{} : it->second;
}

BlockId Database::AddBlock(BlockDefinition block) {
  auto key = FoldName(block.name);
  if (blockByName_.contains(key))
    throw std::invalid_argument("duplicate block \"" + block.name + "\"");
  if (block.handle == 0)
    block.handle = NewHandle();
  else
    NoteHandle(block.handle);
  NoteHandle(block.endHandle);
  bool model = key == "*model_space" || key == "$model_space";
  bool paper = key == "*paper_space" || key == "$paper_space";
  if (model || paper || key.starts_with("*paper_space")) block.layout = true;
  if (paper || key.starts_with("*paper_space")) block.paperSpace = true;
  blocks_.push_back(std::move(block));
  BlockId id{static_cast<std::uint32_t>(blocks_.size())};
  blockByName_.emplace(std::move(key), id);
  if (model && !modelSpace_) modelSpace_ = id;
  if (paper && !paperSpace_) paperSpace_ = id;
  return id;
}

void Database::SetBlockErased(BlockId id, bool erased) {
  BlockDefinition& block = Block(id);
  if (block.erased == erased) return;
  block.erased = erased;
  if (erased)
    blockByName_.erase(FoldName(block.name));
  else
    blockByName_.emplace(FoldName(block.name), id);
}

EntityId Database::AddEntity(BlockId container, Entity entity) {
  BlockDefinition& block = Block(container);
  // A new entity's handle is kept by the entity index alone, as a read one's is.
  if (entity.handle == 0)
    entity.handle = NextFreeHandle();
  else
    ClaimHandle(entity.handle);
  if (entity.owner == 0)
    entity.owner = block.recordIndex ? blockRecords.At(block.recordIndex).handle : block.handle;
  if (entity.type.empty()) entity.type = DxfTypeName(entity.data);
  entity.container = container;
  entities_.push_back(std::move(entity));
  EntityId id{static_cast<std::uint32_t>(entities_.size())};
  entityByHandle_.Add(entities_.back().handle, id);
  block.entities.push_back(id);
  return id;
}

EntityId Database::AddSubEntity(EntityId parent, Entity entity) {
  Entity& owner = At(parent);
  // A new entity's handle is kept by the entity index alone, as a read one's is.
  if (entity.handle == 0)
    entity.handle = NextFreeHandle();
  else
    ClaimHandle(entity.handle);
  if (entity.owner == 0) entity.owner = owner.handle;
  if (entity.type.empty()) entity.type = DxfTypeName(entity.data);
  entity.parent = parent;
  entity.paperSpace = owner.paperSpace;
  bool isSeqEnd = std::holds_alternative<SeqEndData>(entity.data);
  bool fits = isSeqEnd || (std::holds_alternative<InsertData>(owner.data)
                               ? std::holds_alternative<AttribData>(entity.data)
                               : std::holds_alternative<PolylineData>(owner.data) &&
                                     std::holds_alternative<VertexData>(entity.data));
  if (!fits || !(std::holds_alternative<InsertData>(owner.data) ||
                 std::holds_alternative<PolylineData>(owner.data)))
    throw std::invalid_argument(entity.type + " cannot follow " + owner.type);
  entities_.push_back(std::move(entity));
  EntityId id{static_cast<std::uint32_t>(entities_.size())};
  entityByHandle_.Add(entities_.back().handle, id);
  Entity& parentEntity = At(parent);
  if (auto* insert = std::get_if<InsertData>(&parentEntity.data)) {
    if (isSeqEnd)
      insert->seqEnd = id;
    else
      insert->attributes.push_back(id);
  } else if (auto* polyline = std::get_if<PolylineData>(&parentEntity.data)) {
    if (isSeqEnd)
      polyline->seqEnd = id;
    else
      polyline->vertices.push_back(id);
  }
  return id;
}

void Database::SetEntityErased(EntityId id, bool erased) {
  Entity& entity = At(id);
  entity.erased = erased;
  auto children = [&]() -> std::vector<EntityId> {
    if (auto* insert = std::get_if<InsertData>(&entity.data)) {
      auto list = insert->attributes;
      list.push_back(insert->seqEnd);
      return list;
    }
    if (auto* polyline = std::get_if<PolylineData>(&entity.data)) {
      auto list = polyline->vertices;
      list.push_back(polyline->seqEnd);
      return list;
    }
    return {};
  }();
  for (EntityId child : children)
    if (child) At(child).erased = erased;
}

EntityId Database::FindEntity(Handle handle) const {
  const EntityId id = entityByHandle_.Find(handle);
  if (!id || At(id).erased) return {};
  return id;
}

}  // namespace cadhost
