#include "cadhost/dxf/drawing_reader.h"

#include <algorithm>
#include <unordered_set>
#include <stdexcept>

#include "cadhost/dxf/entity_reader.h"
#include "cadhost/dxf/error.h"
#include "cadhost/dxf/file_state.h"
#include "cadhost/dxf/grouping.h"
#include "cadhost/dxf/tag_reader.h"
#include "cadhost/dxf/values.h"

namespace cadhost::dxf {

namespace {

class DrawingReader {
 public:
  DrawingReader(std::shared_ptr<const TagList> file, const std::string& fileName)
      : file_(std::move(file)), tags_(*file_), fileName_(fileName) {}

  std::unique_ptr<Database> read() {
    db_ = std::make_unique<Database>();
    auto state = std::make_shared<FileState>();
    state_ = state.get();
    state->file = file_;
    const auto sections = splitSections(tags_, fileName_);
    if (sections.empty()) throw DxfError(fileName_ + ": the file holds no DXF sections");
    // The modelled sections exist once in a drawing; a second one cannot be
    // told apart from the first when written back.
    for (std::size_t i = 0; i < sections.size(); ++i)
      for (std::size_t j = 0; j < i; ++j)
        if (sections[i].name == sections[j].name &&
            (sections[i].name == "HEADER" || sections[i].name == "TABLES" || sections[i].name == "BLOCKS" ||
             sections[i].name == "ENTITIES"))
          fail(sections[i].first, "a second " + sections[i].name + " section");
    // The header first: the text encoding of everything else depends on it.
    for (const Section& s : sections)
      if (s.name == "HEADER") readHeader(s);
    codec_ = std::make_unique<TextCodec>(db_->header.acadVer, db_->header.codePage);
    for (const Section& s : sections) {
      state->sections.push_back({s.name, view(s.first, s.bodyFirst), view(s.bodyLast, s.last)});
      if (s.name == "TABLES") readTables(s);
      else if (s.name == "BLOCKS") readBlocks(s);
      else if (s.name == "ENTITIES") readEntities(s);
      else if (s.name != "HEADER")
        db_->unmodelled.sections.push_back(RawSection{s.name, view(s.bodyFirst, s.bodyLast)});
    }
    ensureLayout(db_->ModelSpace(), "*Model_Space", "$MODEL_SPACE");
    ensureLayout(db_->PaperSpace(), "*Paper_Space", "$PAPER_SPACE");
    addLayersNamedOnlyByEntities();
    db_->unmodelled.dxfState = std::move(state);
    // The header is written anew when layers made here go into the file's
    // LAYER table with handles of their own.
    const bool hasTables = std::any_of(sections.begin(), sections.end(), [](const Section& s) { return s.name == "TABLES"; });
    db_->header.modified = hasTables && !state_->madeLayers.empty();
    return std::move(db_);
  }

 private:
  Tags view(std::uint32_t first, std::uint32_t last) const { return Tags(file_, first, last); }
  Tags source(Record r) const { return Tags(file_, r.first, r.last); }
  std::string text(std::string_view value) const { return codec_->decode(value); }

  [[noreturn]] void fail(std::uint32_t index, const std::string& what) const {
    throw DxfError(fileName_ + ", " + locationOf(tags_, index) + ": " + what);
  }

  void readHeader(const Section& s) {
    Header& h = db_->header;
    h.source = std::make_shared<const Tags>(file_, s.bodyFirst, s.bodyLast);
    bool sawSeed = false;
    for (const HeaderVariable& v : headerVariables(tags_, s)) {
      for (std::uint32_t i = v.tags.first + 1; i < v.tags.last; ++i) {
        const int code = tags_.code(i);
        const std::string_view value = tags_.value(i);
        if (v.name == "$ACADVER" && code == 1) h.acadVer = std::string(value);
        else if (v.name == "$DWGCODEPAGE" && code == 3) h.codePage = std::string(value);
        else if (v.name == "$HANDSEED" && code == 5) {
          h.handSeed = ParseHandle(value).value_or(1);
          sawSeed = true;
        } else if (v.name == "$INSBASE") {
          if (code == 10) h.insBase.x = toDouble(value);
          if (code == 20) h.insBase.y = toDouble(value);
          if (code == 30) h.insBase.z = toDouble(value);
        } else if (v.name == "$INSUNITS" && code == 70) h.insUnits = toInt(value);
        else if (v.name == "$CLAYER" && code == 8) h.currentLayer = std::string(value);
      }
    }
    if (!sawSeed) h.handSeed = 1;
  }

  // Handle, owner and name of a table record (or TABLE head, BLOCK).
  template <class R>
  void readRecordIdentity(R& record, Record r, int handleCode = 5) {
    record.source = source(r);
    bool sawOwner = false;
    bool inAppData = false;
    for (std::uint32_t i = r.first + 1; i < r.last; ++i) {
      const int code = tags_.code(i);
      const std::string_view value = tags_.value(i);
      if (code == 102) inAppData = value.starts_with('{');
      if (inAppData || code >= 1000) continue;
      if (code == handleCode) record.handle = ParseHandle(value).value_or(0);
      if (code == 330 && !sawOwner) {
        record.owner = ParseHandle(value).value_or(0);
        sawOwner = true;
      }
    }
  }

  template <class R, class Fields>
  void readTable(SymbolTable<R>& table, const TableGroup& group, Fields fields) {
    readRecordIdentity(table.head, group.head);
    db_->NoteHandle(table.head.handle);
    state_->tableEnds[group.name] = view(group.end.first, group.end.last);
    state_->tableEntries[group.name] = group.entries.size();
    for (const Record& r : group.entries) {
      R record;
      readRecordIdentity(record, r);
      for (std::uint32_t i = r.first + 1; i < r.last && tags_.code(i) < 1000; ++i) {
        const int code = tags_.code(i);
        const std::string_view value = tags_.value(i);
        if (code == 2) record.name = text(value);
        else if (code == 70) record.flags = toInt(value);
        else fields(record, code, value);
      }
      db_->NoteHandle(record.handle);
      try {
        table.Add(std::move(record));
      } catch (const std::invalid_argument& e) {
        fail(r.first, std::string("the ") + group.name + " table holds " + e.what());
      }
    }
  }

  void readTables(const Section& s) {
    for (const TableGroup& group : groupTables(tags_, s, fileName_)) {
      const bool modelled = group.name == "LAYER" || group.name == "APPID" || group.name == "UCS" ||
                            group.name == "BLOCK_RECORD";
      const auto& order = db_->unmodelled.tableOrder;
      if (modelled && std::find(order.begin(), order.end(), group.name) != order.end())
        fail(group.head.first, "a second " + group.name + " table");
      db_->unmodelled.tableOrder.push_back(group.name);
      if (group.name == "LAYER") {
        readTable(db_->layers, group, [this](LayerRecord& l, int code, std::string_view value) {
          if (code == 62) l.color = toInt(value, cad::kColorWhite);
          if (code == 6) l.linetype = text(value);
        });
      } else if (group.name == "APPID") {
        readTable(db_->appIds, group, [](AppIdRecord&, int, std::string_view) {});
      } else if (group.name == "UCS") {
        readTable(db_->ucss, group, [](UcsRecord& u, int code, std::string_view value) {
          const double v = toDouble(value);
          Point* p = code % 10 == 0 ? &u.origin : code % 10 == 1 ? &u.xAxis : code % 10 == 2 ? &u.yAxis : nullptr;
          if (!p || code < 10 || code > 32) return;
          (code < 20 ? p->x : code < 30 ? p->y : p->z) = v;
        });
      } else if (group.name == "BLOCK_RECORD") {
        readTable(db_->blockRecords, group, [](BlockRecordEntry&, int, std::string_view) {});
      } else {
        db_->unmodelled.tables.push_back(RawTable{group.name, view(group.head.first, group.end.last)});
      }
    }
  }

  void readBlocks(const Section& s) {
    for (const BlockGroup& group : groupBlocks(tags_, s, fileName_)) {
      BlockDefinition block;
      readRecordIdentity(block, group.block);
      for (std::uint32_t i = group.block.first + 1; i < group.block.last && tags_.code(i) < 1000; ++i) {
        const int code = tags_.code(i);
        const std::string_view value = tags_.value(i);
        switch (code) {
          case 2: block.name = text(value); break;
          case 10: block.base.x = toDouble(value); break;
          case 20: block.base.y = toDouble(value); break;
          case 30: block.base.z = toDouble(value); break;
          case 70: block.flags = toInt(value); break;
          case 8: block.layer = text(value); break;
          case 1: block.xrefPath = text(value); break;
          case 4: block.description = text(value); break;
          case 67: block.paperSpace = toInt(value) == 1; break;
          default: break;
        }
      }
      for (std::uint32_t i = group.end.first + 1; i < group.end.last; ++i)
        if (tags_.code(i) == 5) block.endHandle = ParseHandle(tags_.value(i)).value_or(0);
      block.endSource = source(group.end);
      block.recordIndex = db_->blockRecords.Find(block.name);
      BlockId id;
      try {
        id = db_->AddBlock(std::move(block));
      } catch (const std::invalid_argument& e) {
        fail(group.block.first, std::string("the BLOCKS section holds a ") + e.what());
      }
      if (auto index = db_->Block(id).recordIndex) db_->blockRecords.At(index).block = id;
      const bool layout = id == db_->ModelSpace() || id == db_->PaperSpace();
      for (const EntityGroup& entity : group.entities) {
        const EntityId entityId = addEntity(id, entity);
        if (layout) state_->inLayoutBlocks.push_back(entityId);
      }
    }
  }

  void readEntities(const Section& s) {
    const std::vector<Record> records = splitRecords(tags_, s.bodyFirst, s.bodyLast);
    db_->ReserveEntities(records.size());
    for (const EntityGroup& group : groupEntities(tags_, records)) {
      const bool paper = readPaperSpaceFlag(group.head);
      BlockId container = paper ? db_->PaperSpace() : db_->ModelSpace();
      if (!container) container = ensureLayout(container, paper ? "*Paper_Space" : "*Model_Space",
                                                paper ? "$PAPER_SPACE" : "$MODEL_SPACE");
      state_->entitiesSection.push_back(addEntity(container, group));
      // Entities are most of a large file: the positions of the tags already
      // made into records are given back as the reading goes on, so that they
      // and the records do not take room at the same time.
      file_->releasePositionsBefore(group.head.first);
    }
    file_->releasePositionsBefore(s.bodyLast);
  }

  bool readPaperSpaceFlag(Record r) const {
    for (std::uint32_t i = r.first + 1; i < r.last; ++i)
      if (tags_.code(i) == 67) return toInt(tags_.value(i)) == 1;
    return false;
  }

  EntityId addEntity(BlockId container, const EntityGroup& group) {
    EntityId id;
    try {
      id = db_->AddEntity(container, readEntity(file_, group.head, *codec_));
      for (const Record& child : group.children) db_->AddSubEntity(id, readEntity(file_, child, *codec_));
    } catch (const std::invalid_argument& e) {
      fail(group.head.first, e.what());
    }
    return id;
  }

  // R12 files may lack the layout blocks; the host needs both spaces.
  // Many writers put entities on layers their LAYER table does not list, or
  // write no TABLES section at all. A CAD program's loader makes such layers,
  // with the default colour and linetype; so does this one, so that every
  // entity's layer exists and is written to the table on save.
  void addLayersNamedOnlyByEntities() {
    std::unordered_set<const std::string*> checked;  // pooled names: one entry per distinct layer
    const std::string* previous = nullptr;           // neighbours mostly share a layer
    for (std::uint32_t i = 1; i <= db_->EntityCount(); ++i) {
      const Entity& entity = db_->At(EntityId{i});
      if (&entity.layer.str() == previous) continue;
      previous = &entity.layer.str();
      if (!checked.insert(previous).second) continue;
      const std::string& name = entity.layer;
      if (name.empty() || db_->layers.Find(name) != 0) continue;
      LayerRecord layer;
      layer.name = name;
      layer.handle = db_->NewHandle();
      layer.owner = db_->layers.head.handle;
      layer.modified = true;
      state_->madeLayers.push_back(db_->layers.Add(std::move(layer)));
    }
  }

  BlockId ensureLayout(BlockId existing, const char* name, const char* r12Name) {
    if (existing) return existing;
    BlockDefinition block;
    block.name = db_->header.acadVer <= "AC1009" ? r12Name : name;
    block.recordIndex = db_->blockRecords.Find(block.name);
    const BlockId id = db_->AddBlock(std::move(block));
    state_->madeBlocks.push_back(id);
    return id;
  }

  std::shared_ptr<const TagList> file_;
  const TagList& tags_;
  const std::string& fileName_;
  std::unique_ptr<Database> db_;
  FileState* state_ = nullptr;
  std::unique_ptr<TextCodec> codec_;
};

}  // namespace

std::unique_ptr<Database> readDrawing(std::shared_ptr<const TagList> file, const std::string& fileName) {
  return DrawingReader(std::move(file), fileName).read();
}

std::unique_ptr<Database> readDrawingFile(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  auto tags = std::make_shared<const TagList>(readTags(loadFileBytes(path), name));
  return readDrawing(std::move(tags), name);
}

}  // namespace cadhost::dxf
