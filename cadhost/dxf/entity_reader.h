// Typed entities read from their grouped tags.
#pragma once

#include "cadhost/database.h"
#include "cadhost/dxf/grouping.h"
#include "cadhost/dxf/text_codec.h"

namespace cadhost::dxf {

// The typed fields of one entity record; the record's tags become its source.
// Types the host does not model come back as OtherData with their common fields.
Entity readEntity(const std::shared_ptr<const TagList>& file, Record record, const TextCodec& codec);

// The extended data (1001 ...) of a record.
std::vector<ExtendedData> readXData(const TagList& tags, const RecordLayout& layout, const TextCodec& codec);

}  // namespace cadhost::dxf
