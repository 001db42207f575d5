// Reading a DXF file, ASCII or binary, into its raw tags.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "cadhost/dxf/tag.h"

namespace cadhost::dxf {

// The first bytes of every binary DXF file.
inline constexpr std::string_view kBinarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};

bool isBinaryDxf(std::string_view bytes);

// Splits a DXF file's bytes into tags, ASCII or binary by the file's content.
// Reading stops after the "0 EOF" tag; what follows is kept as the trailer.
// Throws DxfError naming `fileName`, the line (or byte offset) and the fault.
TagList readTags(SourceBytes bytes, const std::string& fileName);
TagList readTags(std::string bytes, const std::string& fileName);

// The whole content of a file; throws DxfError naming the file when it cannot
// be read.
std::string readFileBytes(const std::filesystem::path& path);

// The content of a file, read into memory of its own (so that the drawing
// does not change when the file does). Throws DxfError naming the file when
// it cannot be read.
SourceBytes loadFileBytes(const std::filesystem::path& path);

}  // namespace cadhost::dxf
