// The attribute match records of a block pair, kept per user in the settings
// store: which old attribute feeds which replacement attribute, in which
// order several are joined, and the separator that joins them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/settings_store.h"

namespace matching {

inline constexpr const char* kMatchApplication = "QV_Cindral";
inline constexpr const char* kSeparatorKey = "Separator";

// One old attribute feeding one replacement attribute.
struct AttributeMatch {
  int oldIndex = 0;          // key part 0: position in the old block's tag list
  int replacementIndex = 0;  // key part 1: position in the replacement's attribute list
  std::string oldTag;          // data part 0
  std::string replacementTag;  // data part 1
  int order = 1;               // data part 2: place among the matches of one replacement attribute
  friend bool operator==(const AttributeMatch&, const AttributeMatch&) = default;
};

// All matches of one block pair and the separator, when one is stored.
struct MatchRecordSet {
  std::vector<AttributeMatch> matches;
  std::optional<std::string> separator;
  bool Empty() const { return matches.empty() && !separator; }
  friend bool operator==(const MatchRecordSet&, const MatchRecordSet&) = default;
};

// "BlocksMatched\" + old name + "^" + replacement name. The store compares
// section names without regard to case, so the replace run (replacement name
// in capitals) and the window (name as in the grid) reach the same records.
std::string MatchSection(const std::string& oldName, const std::string& replacementName);

// The record set as the store values hold it. A key with "^" is a match; a
// key holding "Separator" is the separator; other keys are ignored, and so is
// a match whose indices or order are not whole numbers from 0 (a damaged
// value cannot say where it belongs).
MatchRecordSet ParseMatchRecords(const std::vector<host::SettingValue>& values);

// The store values of a record set: one per match, then the separator when
// at least one match is written.
std::vector<host::SettingValue> MatchRecordValues(const MatchRecordSet& records);

// Reads a pair's record set; empty when the pair has none.
MatchRecordSet ReadMatchRecords(host::SettingsStore& store, const std::string& oldName,
                                const std::string& replacementName);

// Replaces the pair's record set as a whole, in one transaction; a set
// without matches leaves no section behind.
void WriteMatchRecords(host::SettingsStore& store, const std::string& oldName,
                       const std::string& replacementName, const MatchRecordSet& records);

}  // namespace matching
