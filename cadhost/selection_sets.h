// Named selection sets of a document and the selections that fill them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cadhost/database.h"
#include "host/cad.h"

namespace cadhost {

class HostDocument;
class HostSelectionSet;

// Owns the named selection sets of one document (names compared without
// regard to case). A deleted set's object fails every call.
class HostSelectionSets : public cad::SelectionSets {
 public:
  explicit HostSelectionSets(std::weak_ptr<HostDocument> document);
  long Count() const override;
  cad::SelectionSetPtr Item(long index) const override;
  cad::SelectionSetPtr Item(const std::string& name) const override;
  cad::SelectionSetPtr Add(const std::string& name) override;
  void Remove(const HostSelectionSet* set);
  void Clear();  // when the document closes

 private:
  std::shared_ptr<HostDocument> Document() const;
  std::weak_ptr<HostDocument> document_;
  std::vector<std::shared_ptr<HostSelectionSet>> sets_;
};

// Which entities a selection filter lets through: parallel group codes and
// values, every entry must hold. 0 entity type, 2 block name of a reference,
// 8 layer (names without regard to case), 67 space ("" or "0" model space,
// "1" paper space), 1001 an extended-data application on the entity.
class SelectionFilterCheck {
 public:
  // Fails with a description for arrays of different length, an unknown group
  // code or a 67 value other than "", "0" or "1".
  SelectionFilterCheck(const cad::SelectionFilter& filter, const Database& db);
  bool Accepts(EntityId id) const;
  // The single index list that holds every acceptable entity, if the filter has
  // an entry an index serves: 2, then 1001, 8, 0.
  bool HasIndexedEntry() const { return best_ >= 0; }
  int IndexedCode() const { return best_ < 0 ? 0 : types_[static_cast<std::size_t>(best_)]; }
  const std::string& IndexedValue() const { return values_[static_cast<std::size_t>(best_)]; }
  // -1 any space, 0 model space only, 1 paper space only.
  int Space() const { return space_; }

 private:
  const Database& db_;
  std::vector<std::int16_t> types_;
  std::vector<std::string> values_;
  int best_ = -1;
  int space_ = -1;
};

}  // namespace cadhost
