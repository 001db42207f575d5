// One modelled symbol table: its head and its records, found by name.
#pragma once

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

#include "cadhost/names.h"
#include "cadhost/tables.h"

namespace cadhost {

// Owns the records of one table (LAYER, APPID, UCS, BLOCK_RECORD) in file order.
// Records live in a deque so references to them stay valid as records are
// added; an erased record keeps its slot (an undo can restore it) but is no
// longer found by name. Record indices are 1-based; 0 means "none".
template <class Record>
class SymbolTable {
 public:
  TableHead head;

  std::uint32_t Size() const { return static_cast<std::uint32_t>(records_.size()); }
  Record& At(std::uint32_t index) { return records_.at(index - 1); }
  const Record& At(std::uint32_t index) const { return records_.at(index - 1); }

  // Index of the live record of that name, compared without regard to case; 0 if none.
  std::uint32_t Find(std::string_view name) const {
    auto it = byName_.find(FoldName(name));
    return it == byName_.end() ? 0 : it->second;
  }
  Record* FindRecord(std::string_view name) {
    auto index = Find(name);
    return index ? &At(index) : nullptr;
  }
  const Record* FindRecord(std::string_view name) const {
    auto index = Find(name);
    return index ? &At(index) : nullptr;
  }

  // Appends a record; throws std::invalid_argument when a live record already
  // has that name. Returns its index.
  std::uint32_t Add(Record record) {
    auto key = FoldName(record.name);
    if (!record.erased && byName_.contains(key))
      throw std::invalid_argument("duplicate table entry \"" + record.name + "\"");
    records_.push_back(std::move(record));
    auto index = Size();
    if (!records_.back().erased) byName_.emplace(std::move(key), index);
    return index;
  }

  // Marks a record erased or brings it back (undo).
  void SetErased(std::uint32_t index, bool erased) {
    Record& record = At(index);
    if (record.erased == erased) return;
    record.erased = erased;
    if (erased)
      byName_.erase(FoldName(record.name));
    else
      byName_.emplace(FoldName(record.name), index);
  }

  auto begin() { return records_.begin(); }
  auto end() { return records_.end(); }
  auto begin() const { return records_.begin(); }
  auto end() const { return records_.end(); }

 private:
  std::deque<Record> records_;
  std::unordered_map<std::string, std::uint32_t> byName_;
};

}  // namespace cadhost
