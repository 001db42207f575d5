// DXF drawing files for the built-in host: open, save, and drawing files
// inserted as blocks.
#pragma once

#include <filesystem>
#include <string>

#include "cadhost/drawing_files.h"

namespace cadhost::dxf {

// The file a path names as the program writes it: `\` separates folders, and
// a name that does not exist as written matches one that differs only in
// letter case, as on the file systems the program was made for. Returns the
// path as written when nothing matches.
std::filesystem::path resolveDrawingPath(const std::string& path);

// The drawing of a DXF file (ASCII or binary, by content); failures name the
// file as `shownName`.
std::unique_ptr<Database> readDxfFile(const std::filesystem::path& file, const std::string& shownName);

// The block a drawing file becomes when inserted: its base name.
std::string blockNameOfFile(const std::string& path);

// Copies the model space of `source` into a new block `name` of `target`
// (base point $INSBASE), with the blocks, layers and applications it uses.
BlockId importModelSpaceAsBlock(Database& target, const Database& source, const std::string& name,
                                const std::string& path);

// Reads and writes DXF drawings (ASCII or binary, by content). Saves are
// atomic: a temporary file in the same folder, flushed to disk, renamed over
// the old file, which is kept as NAME.bak.
class DxfDrawingFiles : public DrawingLoader, public DrawingSaver {
 public:
  std::unique_ptr<Database> Open(const std::string& path) override;
  BlockId InsertAsBlock(Database& target, const std::string& path) override;
  void Save(const Database& drawing, const std::string& path) override;
};

}  // namespace cadhost::dxf
