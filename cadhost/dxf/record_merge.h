// Writing a changed record: its typed fields in place of the source tags they
// came from, every other source tag kept where it was.
#pragma once

#include <set>

#include "cadhost/dxf/tag.h"

namespace cadhost::dxf {

// The tags a changed record is written with. `canonical` holds the record's
// typed fields as tags in their usual order, "0 TYPE" first and subclass
// markers included. `modelled` lists the group codes whose values come from
// the typed fields: source tags of those codes are replaced one for one, in
// order, by the canonical tags of the same code; those left over are dropped,
// since the field no longer holds them. Canonical tags with no source
// counterpart go in after the canonical tag before them. Application data
// (102) is kept as it is; extended data (1001 ...) is taken from `xdata`.
// A replaced value that reads as the same number keeps its source text.
Tags mergeRecord(const Tags* source, const Tags& canonical, const std::set<int>& modelled,
                 const Tags& xdata);

}  // namespace cadhost::dxf
