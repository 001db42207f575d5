// The group codes of each entity type the host models, in one table per type.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "cadhost/dxf/tag.h"
#include "cadhost/dxf/text_codec.h"
#include "cadhost/entity.h"

namespace cadhost::dxf {

// Builds a record's canonical tags.
struct TagBuilder {
  const TextCodec& codec;
  bool r12 = false;  // no subclass markers
  Tags tags;

  void add(int code, std::string value) { tags.push_back(Tag{code, std::move(value)}); }
  void text(int code, std::string_view value) { add(code, codec.encode(value)); }
  void number(int code, double value);
  void integer(int code, int value) { add(code, std::to_string(value)); }
  void angle(int code, double radians);
  void point(int code, const Point& p);
  // 210: the plane of a planar entity, written when it is not the world's.
  void normal(const Point& n);
  void subclass(const char* name) {
    if (!r12) add(100, name);
  }
};

// What reading one record's fields keeps between its groups.
struct FieldReadState {
  std::string mtextChunks;  // MTEXT 3 groups, before the closing 1
};

// Reads one group of an entity's own fields (not the common ones: handle,
// owner, layer, colour, linetype, paper space) into its typed data. Codes the
// type does not model are left alone; they stay in the record's source.
void ReadEntityField(EntityData& data, int code, std::string_view value, const TextCodec& codec,
                     FieldReadState& state);

// Appends the canonical tags of the data's own fields (subclass markers
// included) and returns the codes they model, the common ones included: the
// merge of a changed record replaces exactly those codes of its source.
// `hasAttributes` tells an INSERT whether ATTRIBs follow it (66).
const std::set<int>& WriteEntityFields(const EntityData& data, TagBuilder& builder, bool hasAttributes);

// Whether a code is one of the common fields every entity has (handle, owner,
// layer, colour, linetype, paper space): asked for every group read.
inline bool IsCommonEntityCode(int code) {
  switch (code) {
    case 5: case 330: case 8: case 62: case 6: case 67: return true;
    default: return false;
  }
}

}  // namespace cadhost::dxf
