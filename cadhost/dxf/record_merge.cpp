#include "cadhost/dxf/record_merge.h"

#include <map>

#include "cadhost/dxf/group_codes.h"
#include "cadhost/dxf/values.h"

namespace cadhost::dxf {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Keeps the source's text for a number that did not change ("1.0" stays "1.0").
std::string valueText(const Tag& canonical, std::string_view source) {
  if (valueType(canonical.code) == ValueType::Double && toDouble(source, -1.5e308) == toDouble(canonical.value, 1.5e308))
    return std::string(source);
  if ((valueType(canonical.code) == ValueType::Int16 || valueType(canonical.code) == ValueType::Int32) &&
      toInt(source, -2147483647) == toInt(canonical.value, 2147483647))
    return std::string(source);
  return canonical.value;
}

}  // namespace

Tags mergeRecord(const Tags* source, const Tags& canonical, const std::set<int>& modelled,
                 const Tags& xdata) {
  if (!source || source->empty()) {
    Tags out = canonical;
    for (const Tag& tag : xdata) out.push_back(tag);
    return out;
  }
  const std::size_t sourceCount = source->size();
  // Where the source's own data ends: its extended data follows.
  std::size_t dataEnd = sourceCount;
  // Source tag index each canonical tag replaces (kNone: inserted).
  std::vector<std::size_t> target(canonical.size(), kNone);
  std::vector<bool> replaced(sourceCount, false);
  {
    std::map<std::pair<int, std::string>, std::vector<std::size_t>> markers;  // 100 by name
    std::map<int, std::vector<std::size_t>> byCode;
    bool inAppData = false;
    for (std::size_t i = 1; i < sourceCount; ++i) {
      const int code = source->code(i);
      const std::string_view value = source->value(i);
      if (code >= 1000) {
        dataEnd = i;
        break;
      }
      if (code == codes::kAppData) {
        inAppData = value.starts_with('{');
        continue;
      }
      if (inAppData) continue;
      if (code == codes::kSubclass) markers[{code, std::string(value)}].push_back(i);
      else if (modelled.contains(code)) byCode[code].push_back(i);
    }
    std::map<int, std::size_t> usedByCode;
    std::map<std::pair<int, std::string>, std::size_t> usedMarkers;
    target[0] = 0;
    for (std::size_t k = 1; k < canonical.size(); ++k) {
      const Tag& tag = canonical.code(k) == codes::kSubclass ? canonical[k] : Tag{canonical.code(k), {}};
      if (tag.code == codes::kSubclass) {
        auto& used = usedMarkers[{tag.code, tag.value}];
        auto it = markers.find({tag.code, tag.value});
        if (it != markers.end() && used < it->second.size()) target[k] = it->second[used++];
      } else {
        auto& used = usedByCode[tag.code];
        auto it = byCode.find(tag.code);
        if (it != byCode.end() && used < it->second.size()) target[k] = it->second[used++];
      }
      if (target[k] != kNone) replaced[target[k]] = true;
    }
  }
  // The source position after which each inserted canonical tag goes.
  std::vector<std::vector<std::size_t>> insertAfter(sourceCount);
  std::size_t anchor = 0;
  for (std::size_t k = 1; k < canonical.size(); ++k) {
    if (target[k] != kNone && target[k] >= anchor) anchor = target[k];
    else if (target[k] == kNone) insertAfter[std::min(anchor, dataEnd - 1)].push_back(k);
  }
  std::vector<std::size_t> canonicalAt(sourceCount, kNone);
  for (std::size_t k = 0; k < canonical.size(); ++k)
    if (target[k] != kNone) canonicalAt[target[k]] = k;

  Tags out;
  bool inAppData = false;
  for (std::size_t i = 0; i < dataEnd; ++i) {
    const int code = source->code(i);
    const std::string_view value = source->value(i);
    if (code == codes::kAppData) inAppData = value.starts_with('{');
    if (canonicalAt[i] != kNone) {
      out.push_back(Tag{code, valueText(canonical[canonicalAt[i]], value)});
    } else if (i == 0 || inAppData || code == codes::kAppData || !modelled.contains(code) ||
               code == codes::kSubclass) {
      out.push_back(Tag{code, std::string(value)});
    }
    for (std::size_t k : insertAfter[i]) out.push_back(canonical[k]);
  }
  for (const Tag& tag : xdata) out.push_back(tag);
  return out;
}

}  // namespace cadhost::dxf
