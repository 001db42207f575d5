#include "matching/match_records.h"

#include <charconv>

#include "host/tag_list.h"

namespace matching {
namespace {

// A plain decimal whole number from 0, as the keys and orders are written.
std::optional<int> WholeNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < 0) return std::nullopt;
  return value;
}

std::string Part(const std::vector<std::string>& parts, std::size_t index) {
  return index < parts.size() ? parts[index] : std::string();
}

std::optional<AttributeMatch> ParseMatch(const host::SettingValue& value) {
  const std::vector<std::string> key = host::SplitTagList(value.key);
  const std::vector<std::string> data = host::SplitTagList(value.value);
  const auto oldIndex = WholeNumber(Part(key, 0));
  const auto replacementIndex = WholeNumber(Part(key, 1));
  const auto order = WholeNumber(Part(data, 2));
  if (!oldIndex || !replacementIndex || !order) return std::nullopt;
  return AttributeMatch{*oldIndex, *replacementIndex, Part(data, 0), Part(data, 1), *order};
}

}  // namespace

std::string MatchSection(const std::string& oldName, const std::string& replacementName) {
  return "BlocksMatched\\" + oldName + "^" + replacementName;
}

MatchRecordSet ParseMatchRecords(const std::vector<host::SettingValue>& values) {
  MatchRecordSet records;
  for (const host::SettingValue& value : values) {
    if (value.key.find('^') != std::string::npos) {
      if (auto match = ParseMatch(value)) records.matches.push_back(std::move(*match));
    } else if (value.key.find(kSeparatorKey) != std::string::npos) {
      records.separator = value.value;
    }
  }
  return records;
}

std::vector<host::SettingValue> MatchRecordValues(const MatchRecordSet& records) {
  std::vector<host::SettingValue> values;
  for (const AttributeMatch& match : records.matches) {
    values.push_back({std::to_string(match.oldIndex) + "^" + std::to_string(match.replacementIndex),
                      match.oldTag + "^" + match.replacementTag + "^" + std::to_string(match.order)});
  }
  if (!values.empty() && records.separator) values.push_back({kSeparatorKey, *records.separator});
  return values;
}

MatchRecordSet ReadMatchRecords(host::SettingsStore& store, const std::string& oldName,
                                const std::string& replacementName) {
  return ParseMatchRecords(
      store.GetAllSettings(kMatchApplication, MatchSection(oldName, replacementName)));
}

void WriteMatchRecords(host::SettingsStore& store, const std::string& oldName,
                       const std::string& replacementName, const MatchRecordSet& records) {
  store.ReplaceSection(kMatchApplication, MatchSection(oldName, replacementName),
                       MatchRecordValues(records));
}

}  // namespace matching
