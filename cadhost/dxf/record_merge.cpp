#include "cadhost/dxf/record_merge.h"

#include <string_view>
#include <vector>

#include "cadhost/dxf/group_codes.h"
#include "cadhost/dxf/values.h"

namespace cadhost::dxf {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Keeps the source's text for a number that did not change ("1.0" stays "1.0").
std::string valueText(std::size_t k, const Tags& canonical, std::string_view source) {
  const int code = canonical.code(k);
  const std::string_view value = canonical.value(k);
  if (valueType(code) == ValueType::Double && toDouble(source, -1.5e308) == toDouble(value, 1.5e308))
    return std::string(source);
  if ((valueType(code) == ValueType::Int16 || valueType(code) == ValueType::Int32) &&
      toInt(source, -2147483647) == toInt(value, 2147483647))
    return std::string(source);
  return std::string(value);
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
  // A read file's tags give their code by parsing its text, and a large
  // file's older tags are found again in it: each looked up once here, in
  // file order, which is what those lookups are quickest at.
  std::vector<int> sourceCodes(sourceCount);
  std::vector<std::string_view> sourceValues(sourceCount);
  for (std::size_t i = 0; i < sourceCount; ++i) {
    sourceCodes[i] = source->code(i);
    sourceValues[i] = source->value(i);
  }
  // Where the source's own data ends: its extended data follows.
  std::size_t dataEnd = sourceCount;
  // Source tag index each canonical tag replaces (kNone: inserted).
  std::vector<std::size_t> target(canonical.size(), kNone);
  {
    // The source's subclass markers and modelled tags, in file order. A record
    // has a few dozen tags: flat lists searched in order cost less than maps
    // built per record, and this runs once for every changed record saved.
    std::vector<std::size_t> candidates;
    candidates.reserve(sourceCount);
    bool inAppData = false;
    for (std::size_t i = 1; i < sourceCount; ++i) {
      const int code = sourceCodes[i];
      if (code >= 1000) {
        dataEnd = i;
        break;
      }
      if (code == codes::kAppData) {
        inAppData = sourceValues[i].starts_with('{');
        continue;
      }
      if (inAppData) continue;
      if (code == codes::kSubclass || modelled.contains(code)) candidates.push_back(i);
    }
    // A canonical tag takes the first source tag of its code (a marker: of its
    // code and name) not taken yet.
    std::vector<bool> taken(candidates.size(), false);
    target[0] = 0;
    for (std::size_t k = 1; k < canonical.size(); ++k) {
      const int code = canonical.code(k);
      const bool marker = code == codes::kSubclass;
      for (std::size_t c = 0; c < candidates.size(); ++c) {
        const std::size_t i = candidates[c];
        if (taken[c] || sourceCodes[i] != code || (marker && sourceValues[i] != canonical.value(k))) continue;
        taken[c] = true;
        target[k] = i;
        break;
      }
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

  std::vector<Tag> out;
  out.reserve(dataEnd + canonical.size() + xdata.size());
  bool inAppData = false;
  for (std::size_t i = 0; i < dataEnd; ++i) {
    const int code = sourceCodes[i];
    const std::string_view value = sourceValues[i];
    if (code == codes::kAppData) inAppData = value.starts_with('{');
    if (canonicalAt[i] != kNone) {
      out.push_back(Tag{code, valueText(canonicalAt[i], canonical, value)});
    } else if (i == 0 || inAppData || code == codes::kAppData || !modelled.contains(code) ||
               code == codes::kSubclass) {
      out.push_back(Tag{code, std::string(value)});
    }
    for (std::size_t k : insertAfter[i]) out.push_back(canonical[k]);
  }
  for (std::size_t x = 0; x < xdata.size(); ++x) out.push_back(xdata[x]);
  return Tags(std::move(out));
}

}  // namespace cadhost::dxf
