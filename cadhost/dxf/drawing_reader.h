// A whole DXF drawing read into the host's drawing database.
#pragma once

#include <memory>
#include <string>

#include "cadhost/database.h"
#include "cadhost/dxf/tag.h"

namespace cadhost::dxf {

// Builds the database of a drawing from its tags. Every record keeps its tags
// as source; what the host does not model is kept in `unmodelled`. Throws
// DxfError naming the file and line for a drawing whose structure is broken.
std::unique_ptr<Database> readDrawing(std::shared_ptr<const TagList> file, const std::string& fileName);

// Reads a drawing file (ASCII or binary DXF, by content).
std::unique_ptr<Database> readDrawingFile(const std::string& path);

}  // namespace cadhost::dxf
