// A drawing database written as a DXF file.
#pragma once

#include <string>

#include "cadhost/database.h"

namespace cadhost::dxf {

// The bytes of the drawing as a DXF file in the layout it was read in (ASCII,
// line endings, binary), a new drawing as ASCII. Unchanged records are their
// source bytes; changed and new ones are regenerated (see mergeRecord).
std::string writeDrawing(const Database& drawing);

}  // namespace cadhost::dxf
