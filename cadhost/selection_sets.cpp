#include "cadhost/selection_sets.h"

#include <algorithm>
#include <unordered_set>

#include "cadhost/document.h"
#include "cadhost/entity_objects.h"
#include "cadhost/errors.h"
#include "cadhost/geometry.h"
#include "cadhost/names.h"

namespace cadhost {

// ---- filter -----------------------------------------------------------------

SelectionFilterCheck::SelectionFilterCheck(const cad::SelectionFilter& filter, const Database& db)
    : db_(db), types_(filter.types), values_(filter.values) {
  if (types_.size() != values_.size())
    Fail("Invalid selection filter: " + std::to_string(types_.size()) + " group codes but " +
         std::to_string(values_.size()) + " values");
  int bestRank = 0;
  for (std::size_t i = 0; i < types_.size(); ++i) {
    int rank = 0;
    switch (types_[i]) {
      case 2: rank = 4; break;
      case 1001: rank = 3; break;
      case 8: rank = 2; break;
      case 0: rank = 1; break;
      case 67: {
        const std::string& v = values_[i];
        int space = v.empty() || v == "0" ? 0 : v == "1" ? 1 : -2;
        if (space == -2) Fail("Invalid selection filter: space (67) must be empty, 0 or 1, not \"" + v + "\"");
        // Two space entries that disagree let nothing through.
        space_ = (space_ == -1 || space_ == space) ? space : 2;
        break;
      }
      default:
        Fail("Invalid selection filter: group code " + std::to_string(types_[i]) +
             " is not supported (0, 2, 8, 67 and 1001 are)");
    }
    if (rank > bestRank) {
      bestRank = rank;
      best_ = static_cast<int>(i);
    }
  }
}

bool SelectionFilterCheck::Accepts(EntityId id) const {
  const Entity& entity = db_.At(id);
  if (entity.erased || entity.parent || !entity.container) return false;
  const BlockDefinition& container = db_.Block(entity.container);
  if (!container.layout || container.erased) return false;
  bool model = entity.container == db_.ModelSpace();
  if (space_ == 2 || (space_ == 0 && !model) || (space_ == 1 && model)) return false;
  for (std::size_t i = 0; i < types_.size(); ++i) {
    const std::string& value = values_[i];
    switch (types_[i]) {
      case 0:
        if (!SameName(entity.type, value)) return false;
        break;
      case 2: {
        const auto* insert = std::get_if<InsertData>(&entity.data);
        if (!insert || !SameName(insert->blockName, value)) return false;
        break;
      }
      case 8:
        if (!SameName(entity.layer, value)) return false;
        break;
      case 1001:
        if (std::none_of(entity.xdata.begin(), entity.xdata.end(),
                         [&](const ExtendedData& x) { return SameName(x.application, value); }))
          return false;
        break;
      default: break;
    }
  }
  return true;
}

// ---- one set ----------------------------------------------------------------

class HostSelectionSet : public cad::SelectionSet {
 public:
  HostSelectionSet(std::weak_ptr<HostDocument> document, HostSelectionSets* owner, std::string name)
      : document_(std::move(document)), owner_(owner), name_(std::move(name)) {}

  std::string Name() const override {
    CheckLive();
    return name_;
  }
  long Count() const override { return static_cast<long>(Live().size()); }
  cad::EntityPtr Item(long index) const override {
    const std::vector<EntityId>& live = Live();
    if (index < 0 || static_cast<std::size_t>(index) >= live.size()) Fail(kIndexOutOfRange);
    return MakeEntityObject(Document(), live[static_cast<std::size_t>(index)]);
  }

  void Select(cad::SelectMode mode, const cad::SelectionFilter& filter) override {
    auto document = Document();
    Drawing& drawing = document->drawing();
    SelectionFilterCheck check(filter, drawing.db());
    std::vector<EntityId> found;
    switch (mode) {
      case cad::SelectMode::All: found = SelectAll(drawing, check); break;
      case cad::SelectMode::Last: {
        EntityId last = drawing.LastEntity();
        if (last && check.Accepts(last)) found.push_back(last);
        break;
      }
      case cad::SelectMode::Previous:
        for (EntityId id : document->previousSelection())
          if (check.Accepts(id)) found.push_back(id);
        break;
      default:
        Fail("Invalid selection mode " + std::to_string(static_cast<int>(mode)) +
             " for Select (3 previous, 4 last, 5 all)");
    }
    Append(found);
    RememberAsPrevious();
  }

  void SelectByPolygon(cad::SelectMode mode, const std::vector<double>& points,
                       const cad::SelectionFilter& filter) override {
    auto document = Document();
    Drawing& drawing = document->drawing();
    if (mode != cad::SelectMode::WindowPolygon && mode != cad::SelectMode::CrossingPolygon)
      Fail("Invalid selection mode " + std::to_string(static_cast<int>(mode)) +
           " for SelectByPolygon (6 window polygon, 7 crossing polygon)");
    SelectionFilterCheck check(filter, drawing.db());
    std::unique_ptr<SelectionArea> area;
    try {
      area = std::make_unique<SelectionArea>(points);
    } catch (const std::invalid_argument& error) {
      Fail(std::string("Invalid polygon: ") + error.what());
    }
    std::vector<EntityId> found;
    // Polygons are drawn in model space, so they select model-space entities.
    for (EntityId id : drawing.index().Meeting(area->Bounds())) {
      if (!check.Accepts(id) || drawing.db().At(id).container != drawing.db().ModelSpace()) continue;
      Outline outline = drawing.OutlineOf(id);
      bool take = mode == cad::SelectMode::WindowPolygon ? area->WhollyInside(outline)
                                                         : area->Touches(outline);
      if (take) found.push_back(id);
    }
    Append(found);
    RememberAsPrevious();
  }

  void AddItems(const std::vector<cad::EntityPtr>& items) override {
    auto document = Document();
    std::vector<EntityId> ids;
    for (const auto& item : items) {
      EntityId id = EntityIdOf(item, *document);
      if (document->drawing().db().At(id).erased) Fail(kObjectErased);
      ids.push_back(id);
    }
    Append(ids);
  }

  void Clear() override {
    CheckLive();
    ids_.clear();
    members_.clear();
    live_.valid = false;
  }

  void Erase() override {
    auto document = Document();
    Drawing& drawing = document->drawing();
    const std::vector<EntityId> live = Live();
    drawing.journal().StartMark();
    try {
      for (EntityId id : live) drawing.EraseEntity(id);
    } catch (...) {
      drawing.journal().CancelMark();
      throw;
    }
    drawing.journal().EndMark();
    ids_.clear();
    members_.clear();
    live_.valid = false;
  }

  void Delete() override {
    Document();
    deleted_ = true;
    owner_->Remove(this);
  }

  bool Deleted() const { return deleted_; }
  void MarkDeleted() { deleted_ = true; }
  const std::string& name() const { return name_; }

 private:
  void CheckLive() const {
    if (deleted_) Fail("The selection set \"" + name_ + "\" was deleted");
  }
  std::shared_ptr<HostDocument> Document() const {
    CheckLive();
    auto document = document_.lock();
    if (!document || document->IsClosed()) Fail(kDrawingClosed);
    return document;
  }
  // The members still in the drawing; erased entities drop out of a set. The
  // list is kept until the set changes or an entity of the drawing is erased or
  // brought back, so walking a set item by item while the drawing grows costs
  // nothing extra per item.
  const std::vector<EntityId>& Live() const {
    auto document = Document();
    const Drawing& drawing = document->drawing();
    if (!live_.valid || live_.erasureVersion != drawing.ErasureVersion()) {
      const Database& db = drawing.db();
      live_.ids.clear();
      for (EntityId id : ids_)
        if (!db.At(id).erased) live_.ids.push_back(id);
      live_.erasureVersion = drawing.ErasureVersion();
      live_.valid = true;
    }
    return live_.ids;
  }
  void Append(const std::vector<EntityId>& found) {
    // Room for a large addition at once; smaller ones grow the usual way.
    if (found.size() > ids_.size()) {
      members_.reserve(members_.size() + found.size());
      ids_.reserve(ids_.size() + found.size());
    }
    for (EntityId id : found)
      if (members_.insert(id.value).second) ids_.push_back(id);
    live_.valid = false;
  }
  // What a later "previous" selection gives back: the result of this set's
  // selection just made.
  void RememberAsPrevious() { Document()->previousSelection() = Live(); }

  static std::vector<EntityId> SelectAll(Drawing& drawing, const SelectionFilterCheck& check) {
    std::vector<EntityId> found;
    if (check.HasIndexedEntry()) {
      IndexKey key = IndexKey::Type;
      switch (check.IndexedCode()) {
        case 2: key = IndexKey::BlockName; break;
        case 1001: key = IndexKey::XDataApp; break;
        case 8: key = IndexKey::Layer; break;
        default: break;
      }
      for (EntityId id : drawing.index().Listed(key, check.IndexedValue()))
        if (check.Accepts(id)) found.push_back(id);
      return found;
    }
    const Database& db = drawing.db();
    // Model space first, then the paper-space layouts.
    std::vector<BlockId> layouts;
    if (check.Space() != 1 && db.ModelSpace()) layouts.push_back(db.ModelSpace());
    if (check.Space() != 0)
      for (std::uint32_t b = 1; b <= db.BlockCount(); ++b)
        if (db.Block(BlockId{b}).layout && BlockId{b} != db.ModelSpace()) layouts.push_back(BlockId{b});
    for (BlockId layout : layouts)
      for (EntityId id : drawing.LiveEntities(layout))
        if (check.Accepts(id)) found.push_back(id);
    return found;
  }

  std::weak_ptr<HostDocument> document_;
  HostSelectionSets* owner_;
  std::string name_;
  std::vector<EntityId> ids_;
  std::unordered_set<std::uint32_t> members_;
  struct LiveCache {
    bool valid = false;
    std::uint64_t erasureVersion = 0;
    std::vector<EntityId> ids;
  };
  mutable LiveCache live_;
  bool deleted_ = false;
};

// ---- the collection -----------------------------------------------------------

HostSelectionSets::HostSelectionSets(std::weak_ptr<HostDocument> document)
    : document_(std::move(document)) {}

std::shared_ptr<HostDocument> HostSelectionSets::Document() const {
  auto document = document_.lock();
  if (!document || document->IsClosed()) Fail(kDrawingClosed);
  return document;
}

long HostSelectionSets::Count() const {
  Document();
  return static_cast<long>(sets_.size());
}

cad::SelectionSetPtr HostSelectionSets::Item(long index) const {
  Document();
  if (index < 0 || static_cast<std::size_t>(index) >= sets_.size()) Fail(kIndexOutOfRange);
  return sets_[static_cast<std::size_t>(index)];
}

cad::SelectionSetPtr HostSelectionSets::Item(const std::string& name) const {
  Document();
  for (const auto& set : sets_)
    if (SameName(set->name(), name)) return set;
  Fail("There is no selection set named \"" + name + "\"");
}

cad::SelectionSetPtr HostSelectionSets::Add(const std::string& name) {
  Document();
  if (name.empty() || name.size() > 255) Fail("Invalid selection set name \"" + name + "\"");
  for (const auto& set : sets_)
    if (SameName(set->name(), name)) Fail("A selection set named \"" + name + "\" already exists");
  auto set = std::make_shared<HostSelectionSet>(document_, this, name);
  sets_.push_back(set);
  return set;
}

void HostSelectionSets::Remove(const HostSelectionSet* set) {
  std::erase_if(sets_, [set](const auto& s) { return s.get() == set; });
}

void HostSelectionSets::Clear() {
  for (auto& set : sets_) set->MarkDeleted();
  sets_.clear();
}

}  // namespace cadhost
