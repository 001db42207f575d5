// The raw DXF group: what the drawing file holds, before any interpretation.
#pragma once

#include <string>
#include <vector>

namespace cadhost::dxf {

// One group of a DXF file: its group code and its value text exactly as the file
// wrote it (for binary DXF, the value in the text form an ASCII file would use),
// so that what the host does not model is written back unchanged.
struct Tag {
  int code = 0;
  std::string value;
  friend bool operator==(const Tag&, const Tag&) = default;
};

using Tags = std::vector<Tag>;

}  // namespace cadhost::dxf
