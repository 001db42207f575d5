#include "cadhost/selection_index.h"

#include <algorithm>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/box.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/index/rtree.hpp>

#include "cadhost/names.h"

namespace cadhost {

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using Point2 = bg::model::d2::point_xy<double>;
using Box2 = bg::model::box<Point2>;
using TreeValue = std::pair<Box2, std::uint32_t>;

namespace {
Box2 Flat(const Box3& box) {
  return {Point2{box.min.x, box.min.y}, Point2{box.max.x, box.max.y}};
}

// One posting list: appended in id order (kept sorted lazily when an undo
// brings back an older entity).
struct List {
  std::vector<EntityId> ids;
  bool sorted = true;
  void Add(EntityId id) {
    if (!ids.empty() && !(ids.back() < id)) sorted = false;
    ids.push_back(id);
  }
  const std::vector<EntityId>& Sorted() {
    if (!sorted) {
      std::sort(ids.begin(), ids.end());
      ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
      sorted = true;
    }
    return ids;
  }
};
}  // namespace

namespace {
// What the index holds for one entity id, in chunks that never move: a large
// drawing has millions of ids (attributes count too) and a single array of
// them would be copied again each time it grows.
class Slots {
 public:
  struct Slot {
    Box2 box;              // its box in the tree
    bool indexed = false;  // listed and in the tree
  };
  const Slot* Find(EntityId id) const {
    std::size_t chunk = id.value / kChunk;
    return chunk < chunks_.size() ? &chunks_[chunk][id.value % kChunk] : nullptr;
  }
  Slot& Make(EntityId id) {
    std::size_t chunk = id.value / kChunk;
    while (chunks_.size() <= chunk) chunks_.push_back(std::make_unique<Slot[]>(kChunk));
    return chunks_[chunk][id.value % kChunk];
  }

 private:
  static constexpr std::size_t kChunk = 4096;
  std::vector<std::unique_ptr<Slot[]>> chunks_;
};
}  // namespace

struct SelectionIndex::Postings {
  std::unordered_map<std::string, List> lists[4];
  // The list each key last added to, by the value as given: entities made one
  // after another mostly share their type, layer and block name.
  struct LastList {
    std::string value;
    List* list = nullptr;
  };
  LastList last[4];
  List& For(IndexKey key, const std::string& value) {
    LastList& cached = last[static_cast<int>(key)];
    if (cached.list && cached.value == value) return *cached.list;
    // Lists are never taken out of the map, so the pointer stays good.
    List& list = lists[static_cast<int>(key)][FoldName(value)];
    cached.value = value;
    cached.list = &list;
    return list;
  }
  Slots slots;
  std::vector<EntityId> none;
  std::size_t stale = 0;
};

struct SelectionIndex::Tree {
  bgi::rtree<TreeValue, bgi::quadratic<16>> rtree;
};

SelectionIndex::SelectionIndex()
    : postings_(std::make_unique<Postings>()), tree_(std::make_unique<Tree>()) {}
SelectionIndex::~SelectionIndex() = default;

void SelectionIndex::AddPostings(const Entry& entry) {
  auto& p = *postings_;
  Slots::Slot& slot = p.slots.Make(entry.id);
  slot.indexed = true;
  slot.box = Flat(entry.extents);
  p.For(IndexKey::Type, entry.type).Add(entry.id);
  p.For(IndexKey::Layer, entry.layer).Add(entry.id);
  if (!entry.blockName.empty()) p.For(IndexKey::BlockName, entry.blockName).Add(entry.id);
  for (const auto& app : entry.xdataApps) p.For(IndexKey::XDataApp, app).Add(entry.id);
}

void SelectionIndex::Build(std::vector<Entry> entries) {
  std::vector<TreeValue> values;
  values.reserve(entries.size());
  for (const Entry& entry : entries) {
    AddPostings(entry);
    if (!entry.extents.Empty()) values.emplace_back(Flat(entry.extents), entry.id.value);
  }
  tree_->rtree = bgi::rtree<TreeValue, bgi::quadratic<16>>(values.begin(), values.end());
}

void SelectionIndex::Insert(const Entry& entry) {
  if (Contains(entry.id)) Remove(entry.id);
  AddPostings(entry);
  if (!entry.extents.Empty()) tree_->rtree.insert(TreeValue{Flat(entry.extents), entry.id.value});
}

void SelectionIndex::Remove(EntityId id) {
  auto& p = *postings_;
  if (!Contains(id)) return;
  Slots::Slot& slot = p.slots.Make(id);
  slot.indexed = false;
  tree_->rtree.remove(TreeValue{slot.box, id.value});
  ++p.stale;
}

bool SelectionIndex::Contains(EntityId id) const {
  const Slots::Slot* slot = postings_->slots.Find(id);
  return slot && slot->indexed;
}

const std::vector<EntityId>& SelectionIndex::Listed(IndexKey key, const std::string& value) {
  auto& lists = postings_->lists[static_cast<int>(key)];
  auto it = lists.find(FoldName(value));
  if (it == lists.end()) return postings_->none;
  List& list = it->second;
  // Drop entities no longer indexed once they are a good share of the list;
  // entities still indexed under another value are dropped by the caller's check.
  if (postings_->stale > 0 && list.ids.size() > 64) {
    std::size_t live = 0;
    for (EntityId id : list.ids) live += Contains(id) ? 1 : 0;
    if (live * 2 < list.ids.size())
      std::erase_if(list.ids, [this](EntityId id) { return !Contains(id); });
  }
  return list.Sorted();
}

std::vector<EntityId> SelectionIndex::Meeting(const Box3& box) const {
  std::vector<TreeValue> found;
  tree_->rtree.query(bgi::intersects(Flat(box)), std::back_inserter(found));
  std::vector<EntityId> ids;
  ids.reserve(found.size());
  for (const auto& value : found) ids.push_back(EntityId{value.second});
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace cadhost
