// What every record read from or written to a drawing file carries.
#pragma once

#include <optional>

#include "cadhost/dxf/tag.h"
#include "cadhost/handle.h"

namespace cadhost {

// The DXF preservation hooks and identity shared by every record: entities,
// sub-entities, table records, block definitions.
//
// A record read from a file keeps its raw tags in `source`. The writer writes an
// unmodified record from `source` tag for tag, and a modified one from its typed
// fields plus the source tags it does not model, so nothing the host does not
// understand is ever lost. Every change made through the host sets `modified`.
struct DxfRecord {
  // The source tags to merge a changed record with; null when there are none.
  const dxf::Tags* SourceTags() const { return source ? &*source : nullptr; }

  Handle handle = 0;  // 5 (105 on DIMSTYLE)
  Handle owner = 0;   // 330
  // Held in the record itself: a large drawing has hundreds of thousands of
  // records, and a span of the file is small.
  std::optional<dxf::Tags> source;  // none for records the host created
  bool modified = false;
  // Deleted from the drawing. The record stays in its store so that an undo can
  // bring it back; the writer and every lookup skip it.
  bool erased = false;
};

}  // namespace cadhost
