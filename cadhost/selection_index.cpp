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

struct SelectionIndex::Postings {
  std::unordered_map<std::string, List> lists[4];
  std::vector<std::uint8_t> indexed;  // per entity id: listed and in the tree
  std::vector<Box2> boxes;            // per entity id: its box in the tree
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
  if (p.indexed.size() <= entry.id.value) {
    p.indexed.resize(entry.id.value + 1 + p.indexed.size() / 2, 0);
    p.boxes.resize(p.indexed.size());
  }
  p.indexed[entry.id.value] = 1;
  p.boxes[entry.id.value] = Flat(entry.extents);
  p.lists[static_cast<int>(IndexKey::Type)][FoldName(entry.type)].Add(entry.id);
  p.lists[static_cast<int>(IndexKey::Layer)][FoldName(entry.layer)].Add(entry.id);
  if (!entry.blockName.empty())
    p.lists[static_cast<int>(IndexKey::BlockName)][FoldName(entry.blockName)].Add(entry.id);
  for (const auto& app : entry.xdataApps)
    p.lists[static_cast<int>(IndexKey::XDataApp)][FoldName(app)].Add(entry.id);
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
  p.indexed[id.value] = 0;
  tree_->rtree.remove(TreeValue{p.boxes[id.value], id.value});
  ++p.stale;
}

bool SelectionIndex::Contains(EntityId id) const {
  return id.value < postings_->indexed.size() && postings_->indexed[id.value] != 0;
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
