// Indexes over the entities of model space and paper space, so that a filtered
// or polygon selection costs in proportion to what it finds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "cadhost/geometry.h"

namespace cadhost {

// The keys an entity can be looked up by.
enum class IndexKey { Type, Layer, BlockName, XDataApp };

// Owns posting lists per key value (entity type, layer, block name of a
// reference, extended-data application; names folded to one case) and a
// Boost.Geometry R-tree of entity extents. Only top-level entities of layouts
// are indexed. Posting lists are cleaned lazily: a removed entity may still be
// listed, so callers check every candidate against the drawing.
class SelectionIndex {
 public:
  SelectionIndex();
  ~SelectionIndex();

  struct Entry {
    EntityId id;
    std::string type, layer, blockName;  // blockName empty for non-references
    std::vector<std::string> xdataApps;
    Box3 extents;
  };
  // Fills an empty index at once (the R-tree packed in one go).
  void Build(std::vector<Entry> entries);
  void Insert(const Entry& entry);
  void Remove(EntityId id);
  bool Contains(EntityId id) const;

  // Entities (sorted, perhaps with stale ones) listed under a key value.
  const std::vector<EntityId>& Listed(IndexKey key, const std::string& value);
  // Entities whose extents meet the box (in the plane).
  std::vector<EntityId> Meeting(const Box3& box) const;

 private:
  struct Postings;
  struct Tree;
  void AddPostings(const Entry& entry);
  std::unique_ptr<Postings> postings_;
  std::unique_ptr<Tree> tree_;
};

}  // namespace cadhost
