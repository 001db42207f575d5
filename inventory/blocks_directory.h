// The drawing files of the blocks directory, each standing for a block.
#pragma once

#include <string>
#include <vector>

namespace inventory {

// The names without ".dwg" or ".dxf" (any letter case) of the drawing files
// directly in `directory`, in the order the file system lists them; a name
// that exists as both a DWG and a DXF file is listed once, spelt as the DWG
// file is. Sub-directories
// are not searched; a missing or unreadable directory gives an empty list.
std::vector<std::string> ListDrawingFileBlocks(const std::string& directory);

}  // namespace inventory
