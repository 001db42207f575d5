// Entities as the tags they are written with.
#pragma once

#include "cadhost/database.h"
#include "cadhost/dxf/text_codec.h"

namespace cadhost::dxf {

// What the written file's version and encoding ask of new tags.
struct WriteContext {
  const TextCodec& codec;
  bool r12 = false;  // AC1009 and older: no subclass markers, no owners
};

// The tags of an entity: its source as read when unchanged, otherwise its typed
// fields merged into the source's other tags (a new entity: all canonical).
// `hasAttributes` tells an INSERT whether ATTRIBs follow it (66).
Tags entityTags(const Entity& entity, const WriteContext& context, bool hasAttributes);

// The extended data of a record as tags.
Tags xdataTags(const std::vector<ExtendedData>& xdata, const TextCodec& codec);

}  // namespace cadhost::dxf
