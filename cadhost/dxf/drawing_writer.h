// A drawing database written as a DXF file.
#pragma once

#include <string>

#include "cadhost/database.h"
#include "cadhost/dxf/tag_writer.h"

namespace cadhost::dxf {

// The bytes of the drawing as a DXF file in the layout it was read in (ASCII,
// line endings, binary), a new drawing as ASCII. Unchanged records are their
// source bytes; changed and new ones are regenerated (see mergeRecord).
std::string writeDrawing(const Database& drawing);
// The same bytes as pieces: unchanged records stay views of the read file, so
// a save writes them straight from it (see Pieces).
Pieces writeDrawingPieces(const Database& drawing);

}  // namespace cadhost::dxf
