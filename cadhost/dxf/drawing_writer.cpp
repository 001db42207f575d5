#include "cadhost/dxf/drawing_writer.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <optional>
#include <set>

#include "cadhost/dxf/entity_writer.h"
#include "cadhost/dxf/file_state.h"
#include "cadhost/dxf/group_codes.h"
#include "cadhost/dxf/record_merge.h"
#include "cadhost/dxf/tag_writer.h"
#include "cadhost/dxf/values.h"

namespace cadhost::dxf {

namespace {

class DrawingWriter {
 public:
  explicit DrawingWriter(const Database& db)
      : db_(db),
        state_(static_cast<const FileState*>(db.unmodelled.dxfState.get())),
        codec_(db.header.acadVer, db.header.codePage),
        context_{codec_, db.header.acadVer <= "AC1009"},
        nextHandle_(db.header.handSeed) {}

  Pieces write() {
    const WriteFormat format = state_ ? WriteFormat::of(*state_->file) : WriteFormat{};
    Pieces pieces;
    TagWriter out(pieces, format);
    std::vector<FileState::SectionFrame> frames;
    if (state_) {
      frames = state_->sections;
      addMissingSections(frames);
    } else
      for (const char* name : {"HEADER", "TABLES", "BLOCKS", "ENTITIES"})
        frames.push_back({name, Tags{{0, "SECTION"}, {2, name}}, Tags{{0, "ENDSEC"}}});
    if (state_) out.copy(state_->file->preamble());
    else out.writeStart();
    std::size_t raw = 0;
    std::optional<std::size_t> headerAt;
    for (const auto& frame : frames) {
      if (frame.name == "HEADER") {
        headerAt = pieces.mark();  // filled in last: new records may raise the handle seed
        continue;
      }
      writeTags(out, frame.open);
      if (frame.name == "TABLES") writeTables(out);
      else if (frame.name == "BLOCKS") writeBlocks(out);
      else if (frame.name == "ENTITIES") writeEntities(out);
      else if (raw < db_.unmodelled.sections.size()) writeTags(out, db_.unmodelled.sections[raw++].tags);
      writeTags(out, frame.close);
    }
    if (state_) {
      const TagList& list = *state_->file;
      if (list.size() > 0 && list.code(list.size() - 1) == 0 && list.value(list.size() - 1) == "EOF") {
        // Comments between the last section and EOF go back before EOF.
        std::size_t first = list.size() - 1;
        while (first > 0 && list.code(first - 1) == codes::kComment) --first;
        out.write(list, first, list.size());
      }
      else
        out.write(0, "EOF");
      out.copy(list.trailer());
    } else {
      out.write(0, "EOF");
    }
    if (headerAt) {
      const auto& frame = *std::find_if(frames.begin(), frames.end(), [](const auto& f) { return f.name == "HEADER"; });
      Pieces header;
      TagWriter headerOut(header, format);
      writeTags(headerOut, frame.open);
      writeHeader(headerOut);
      writeTags(headerOut, frame.close);
      pieces.insert(*headerAt, std::move(header));
    }
    return pieces;
  }

 private:
  void writeTags(TagWriter& out, const Tags& tags) { out.writeSpan(tags); }

  // A file may lack TABLES, BLOCKS or ENTITIES (R12 writers often leave out
  // all but ENTITIES). Once the drawing holds what only such a section can
  // carry (a layer the program added, a block definition inserted from a
  // file), the section is added in its usual place; an unchanged drawing
  // keeps the sections it had.
  void addMissingSections(std::vector<FileState::SectionFrame>& frames) const {
    static constexpr std::array<std::string_view, 6> kOrder{"HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"};
    auto rank = [](std::string_view name) {
      const auto* found = std::find(kOrder.begin(), kOrder.end(), name);
      return static_cast<std::size_t>(found - kOrder.begin());  // unknown sections rank last
    };
    auto addWhenNeeded = [&](const char* name, bool (DrawingWriter::*needed)() const) {
      if (std::any_of(frames.begin(), frames.end(), [&](const auto& f) { return f.name == name; })) return;
      if (!(this->*needed)()) return;
      auto at = std::find_if(frames.begin(), frames.end(), [&](const auto& f) { return rank(f.name) > rank(name); });
      frames.insert(at, {name, Tags{{codes::kStructure, "SECTION"}, {codes::kName, name}}, Tags{{codes::kStructure, "ENDSEC"}}});
    };
    addWhenNeeded("TABLES", &DrawingWriter::tablesNeeded);
    addWhenNeeded("BLOCKS", &DrawingWriter::blocksNeeded);
    addWhenNeeded("ENTITIES", &DrawingWriter::entitiesNeeded);
  }

  bool tablesNeeded() const {
    if (db_.appIds.Size() > 0 || db_.ucss.Size() > 0) return true;
    const auto& made = state_->madeLayers;
    for (std::uint32_t i = 1; i <= db_.layers.Size(); ++i) {
      if (!db_.layers.At(i).erased && std::find(made.begin(), made.end(), i) == made.end()) return true;
    }
    return false;
  }

  bool blocksNeeded() const {
    for (std::uint32_t i = 1; i <= db_.BlockCount(); ++i) {
      const BlockId id{i};
      if (id != db_.ModelSpace() && id != db_.PaperSpace() && !db_.Block(id).erased && !isMade(id)) return true;
    }
    return false;
  }

  // Entities of a layout that the file kept in the layout's BLOCK go back
  // there; only the others need an ENTITIES section.
  bool entitiesNeeded() const {
    const auto& inBlocks = state_->inLayoutBlocks;
    for (BlockId layout : {db_.ModelSpace(), db_.PaperSpace()}) {
      if (!layout) continue;
      for (EntityId e : db_.Block(layout).entities)
        if (!db_.At(e).erased && std::find(inBlocks.begin(), inBlocks.end(), e) == inBlocks.end()) return true;
    }
    return false;
  }

  Handle newHandle() { return nextHandle_++; }

  void writeHeader(TagWriter& out) {
    const Header& h = db_.header;
    const bool seedRaised = nextHandle_ != h.handSeed;
    if (!h.modified && !seedRaised && h.source) return writeTags(out, *h.source);
    // The modelled variables with their values; the rest as read.
    const std::vector<std::pair<std::string, Tags>> modelled{
        {"$ACADVER", {{1, h.acadVer}}},
        {"$DWGCODEPAGE", {{3, h.codePage}}},
        {"$INSBASE", {{10, formatDouble(h.insBase.x)}, {20, formatDouble(h.insBase.y)}, {30, formatDouble(h.insBase.z)}}},
        {"$INSUNITS", {{70, std::to_string(h.insUnits)}}},
        {"$CLAYER", {{8, codec_.encode(h.currentLayer)}}},
        {"$HANDSEED", {{5, HandleText(nextHandle_)}}},
    };
    std::vector<bool> written(modelled.size(), false);
    const Tags empty;
    const Tags& source = h.source ? *h.source : empty;
    for (std::size_t i = 0; i < source.size();) {
      std::size_t j = i + 1;
      while (j < source.size() && source.code(j) != 9) ++j;
      auto it = std::find_if(modelled.begin(), modelled.end(), [&](const auto& m) { return source.code(i) == 9 && source.value(i) == m.first; });
      if (it == modelled.end()) {
        for (std::size_t k = i; k < j; ++k) out.write(source.code(k), source.value(k));
      } else {
        written[it - modelled.begin()] = true;
        out.write(9, it->first);
        out.write(it->second);
      }
      i = j;
    }
    for (std::size_t m = 0; m < modelled.size(); ++m) {
      if (written[m]) continue;
      // A variable the drawing's version does not define is not added to it.
      if (modelled[m].first == "$INSUNITS" && db_.header.acadVer < "AC1015") continue;  // R2000 on
      out.write(9, modelled[m].first);
      out.write(modelled[m].second);
    }
  }

  // A table record: as read, or regenerated from its fields.
  template <class R, class Fields>
  void writeRecord(TagWriter& out, const R& record, const char* type, const char* subclass, Fields fields,
                   std::set<int> modelled) {
    if (!record.modified && record.source) return writeTags(out, *record.source);
    Tags canonical{{0, type}};
    if (record.handle) canonical.push_back({5, HandleText(record.handle)});
    if (!context_.r12) {
      if (record.owner) canonical.push_back({330, HandleText(record.owner)});
      canonical.push_back({100, "AcDbSymbolTableRecord"});
      canonical.push_back({100, subclass});
    }
    canonical.push_back({2, codec_.encode(record.name)});
    canonical.push_back({70, std::to_string(record.flags)});
    fields(canonical, record);
    modelled.insert({5, 330, 2, 70});
    out.write(mergeRecord(record.SourceTags(), canonical, modelled, {}));
  }

  template <class R, class Fields>
  void writeTable(TagWriter& out, const SymbolTable<R>& table, const std::string& name, const char* subclass,
                  Fields fields, std::set<int> modelled) {
    std::size_t live = 0;
    for (const R& record : table) live += record.erased ? 0 : 1;
    const TableHead& head = table.head;
    std::size_t read = live;
    if (state_)
      if (auto it = state_->tableEntries.find(name); it != state_->tableEntries.end()) read = it->second;
    if (head.source && !head.modified && live == read) {
      writeTags(out, *head.source);  // as read, even when its count (70) was off
    } else if (head.source && !head.modified) {
      // The entry count (70) follows the records; everything else as read.
      Tags canonical{{0, "TABLE"}, {2, name}, {70, std::to_string(live)}};
      out.write(mergeRecord(head.SourceTags(), canonical, {2, 70}, {}));
    } else {
      Tags canonical{{0, "TABLE"}, {2, name}};
      // A table the file did not have gets a handle of its own.
      const Handle handle = head.handle ? head.handle : context_.r12 ? 0 : newHandle();
      if (handle) canonical.push_back({5, HandleText(handle)});
      if (!context_.r12) {
        if (head.owner) canonical.push_back({330, HandleText(head.owner)});
        canonical.push_back({100, "AcDbSymbolTable"});
      }
      canonical.push_back({70, std::to_string(live)});
      out.write(mergeRecord(head.SourceTags(), canonical, {2, 5, 330, 70}, {}));
    }
    for (const R& record : table)
      if (!record.erased) writeRecord(out, record, name.c_str(), subclass, fields, modelled);
    const Tags* end = nullptr;
    if (state_)
      if (auto it = state_->tableEnds.find(name); it != state_->tableEnds.end()) end = &it->second;
    if (end) writeTags(out, *end);
    else out.write(0, "ENDTAB");
  }

  void writeTables(TagWriter& out) {
    std::vector<std::string> order = db_.unmodelled.tableOrder;
    for (const char* name : {"LAYER", "APPID", "UCS", "BLOCK_RECORD"})
      if (std::find(order.begin(), order.end(), name) == order.end() && needsTable(name)) order.push_back(name);
    std::size_t raw = 0;
    for (const std::string& name : order) {
      if (name == "LAYER") {
        writeTable(out, db_.layers, name, "AcDbLayerTableRecord", [this](Tags& t, const LayerRecord& l) {
          t.push_back({62, std::to_string(l.color)});
          t.push_back({6, codec_.encode(l.linetype)});
        }, {62, 6});
      } else if (name == "APPID") {
        writeTable(out, db_.appIds, name, "AcDbRegAppTableRecord", [](Tags&, const AppIdRecord&) {}, {});
      } else if (name == "UCS") {
        writeTable(out, db_.ucss, name, "AcDbUCSTableRecord", [](Tags& t, const UcsRecord& u) {
          for (auto [code, p] : {std::pair{10, u.origin}, std::pair{11, u.xAxis}, std::pair{12, u.yAxis}}) {
            t.push_back({code, formatDouble(p.x)});
            t.push_back({code + 10, formatDouble(p.y)});
            t.push_back({code + 20, formatDouble(p.z)});
          }
        }, {10, 20, 30, 11, 21, 31, 12, 22, 32});
      } else if (name == "BLOCK_RECORD") {
        // Listed only when the file had it or the drawing is R13 or newer.
        writeTable(out, db_.blockRecords, name, "AcDbBlockTableRecord", [](Tags&, const BlockRecordEntry&) {}, {});
      } else {
        while (raw < db_.unmodelled.tables.size() && db_.unmodelled.tables[raw].name != name) ++raw;
        if (raw < db_.unmodelled.tables.size()) writeTags(out, db_.unmodelled.tables[raw++].tags);
      }
    }
  }

  bool needsTable(const std::string& name) const {
    if (name == "LAYER") return db_.layers.Size() > 0;
    if (name == "APPID") return db_.appIds.Size() > 0;
    if (name == "UCS") return db_.ucss.Size() > 0;
    return !context_.r12 && db_.blockRecords.Size() > 0;
  }

  bool isMade(BlockId id) const {
    return state_ && std::find(state_->madeBlocks.begin(), state_->madeBlocks.end(), id) != state_->madeBlocks.end();
  }

  void writeBlocks(TagWriter& out) {
    for (std::uint32_t i = 1; i <= db_.BlockCount(); ++i) {
      const BlockId id{i};
      const BlockDefinition& block = db_.Block(id);
      if (block.erased || isMade(id)) continue;
      writeBlockHead(out, block);
      // Model space and the active layout hold their entities in ENTITIES,
      // except those the file kept in the BLOCK itself.
      if (id != db_.ModelSpace() && id != db_.PaperSpace()) {
        for (EntityId e : block.entities) writeEntity(out, e);
      } else if (state_) {
        for (EntityId e : state_->inLayoutBlocks)
          if (db_.At(e).container == id) writeEntity(out, e);
      }
      writeBlockEnd(out, block);
    }
  }

  void writeBlockHead(TagWriter& out, const BlockDefinition& block) {
    if (!block.modified && block.source) return writeTags(out, *block.source);
    Tags canonical{{0, "BLOCK"}};
    if (block.handle) canonical.push_back({5, HandleText(block.handle)});
    if (!context_.r12) {
      if (block.owner) canonical.push_back({330, HandleText(block.owner)});
      canonical.push_back({100, "AcDbEntity"});
    }
    if (block.paperSpace) canonical.push_back({67, "1"});
    canonical.push_back({8, codec_.encode(block.layer)});
    if (!context_.r12) canonical.push_back({100, "AcDbBlockBegin"});
    canonical.push_back({2, codec_.encode(block.name)});
    // Bit 2 must be set when the block has non-constant ATTDEFs, or other CAD
    // programs treat it as having no attributes.
    int flags = block.flags & ~kBlockHasAttributes;
    for (EntityId e : block.entities) {
      const Entity& entity = db_.At(e);
      if (const auto* def = std::get_if<AttdefData>(&entity.data); def && !entity.erased && !(def->flags & 2))
        flags |= kBlockHasAttributes;
    }
    canonical.push_back({70, std::to_string(flags)});
    canonical.push_back({10, formatDouble(block.base.x)});
    canonical.push_back({20, formatDouble(block.base.y)});
    canonical.push_back({30, formatDouble(block.base.z)});
    canonical.push_back({3, codec_.encode(block.name)});
    canonical.push_back({1, codec_.encode(block.xrefPath)});
    if (!block.description.empty()) canonical.push_back({4, codec_.encode(block.description)});
    out.write(mergeRecord(block.SourceTags(), canonical, {5, 330, 67, 8, 2, 70, 10, 20, 30, 3, 1, 4}, {}));
  }

  void writeBlockEnd(TagWriter& out, const BlockDefinition& block) {
    if (block.endSource && !block.modified) return writeTags(out, *block.endSource);
    Tags canonical{{0, "ENDBLK"}};
    const Handle handle = block.endHandle ? block.endHandle : context_.r12 ? 0 : newHandle();
    if (handle) canonical.push_back({5, HandleText(handle)});
    if (!context_.r12) {
      if (block.owner) canonical.push_back({330, HandleText(block.owner)});
      canonical.push_back({100, "AcDbEntity"});
      canonical.push_back({8, codec_.encode(block.layer)});
      canonical.push_back({100, "AcDbBlockEnd"});
    }
    out.write(mergeRecord(block.endSource ? &*block.endSource : nullptr, canonical, {5, 330, 8}, {}));
  }

  void writeEntities(TagWriter& out) {
    std::vector<bool> written(db_.EntityCount() + 1, false);
    if (state_)
      for (EntityId id : state_->inLayoutBlocks) written[id.value] = true;
    auto writeTop = [&](EntityId id) {
      if (written[id.value]) return;
      written[id.value] = true;
      const Entity& e = db_.At(id);
      if (e.container == db_.ModelSpace() || e.container == db_.PaperSpace()) writeEntity(out, id);
    };
    if (state_)
      for (EntityId id : state_->entitiesSection) writeTop(id);
    for (BlockId space : {db_.ModelSpace(), db_.PaperSpace()})
      if (space)
        for (EntityId id : db_.Block(space).entities) writeTop(id);
  }

  void writeOne(TagWriter& out, const Entity& e, bool hasAttributes) {
    if (!e.modified && e.source) return writeTags(out, *e.source);
    out.write(entityTags(e, context_, hasAttributes));
  }

  void writeEntity(TagWriter& out, EntityId id) {
    const Entity& e = db_.At(id);
    if (e.erased) return;
    std::vector<EntityId> children;
    EntityId seqEnd;
    if (const auto* insert = std::get_if<InsertData>(&e.data)) {
      children = insert->attributes;
      seqEnd = insert->seqEnd;
    } else if (const auto* polyline = std::get_if<PolylineData>(&e.data)) {
      children = polyline->vertices;
      seqEnd = polyline->seqEnd;
    }
    std::erase_if(children, [&](EntityId c) { return db_.At(c).erased; });
    const bool hasChildren = !children.empty();
    writeOne(out, e, hasChildren);
    for (EntityId c : children) writeOne(out, db_.At(c), false);
    // New or changed references and polylines get the SEQEND other programs
    // expect; an unchanged one is written as the file had it.
    const bool changed = e.modified || !e.source ||
                         std::any_of(children.begin(), children.end(), [&](EntityId c) { return db_.At(c).modified || !db_.At(c).source; });
    const bool needsSeqEnd = changed && (hasChildren || std::holds_alternative<PolylineData>(e.data));
    if (seqEnd && !db_.At(seqEnd).erased) {
      writeOne(out, db_.At(seqEnd), false);
    } else if (needsSeqEnd) {
      Entity end;
      end.type = "SEQEND";
      end.data = SeqEndData{};
      end.handle = newHandle();
      end.owner = e.handle;
      end.layer = e.layer;
      end.paperSpace = e.paperSpace;
      out.write(entityTags(end, context_, false));
    }
  }

  const Database& db_;
  const FileState* state_;
  TextCodec codec_;
  WriteContext context_;
  Handle nextHandle_;
};

}  // namespace

Pieces writeDrawingPieces(const Database& drawing) { return DrawingWriter(drawing).write(); }

std::string writeDrawing(const Database& drawing) { return writeDrawingPieces(drawing).joined(); }

}  // namespace cadhost::dxf
