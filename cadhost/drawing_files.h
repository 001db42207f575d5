// How the host reaches drawing files: interfaces the DXF side implements.
#pragma once

#include <memory>
#include <string>

#include "cadhost/database.h"

namespace cadhost {

// Reads drawing files. Paths come as the program builds them: `\` may be the
// separator, and the file on disk may differ from the name in letter case.
// Every failure throws cad::HostError with a description naming the file.
class DrawingLoader {
 public:
  virtual ~DrawingLoader() = default;
  // The whole drawing of a file, for Documents.Open.
  virtual std::unique_ptr<Database> Open(const std::string& path) = 0;
  // Makes the drawing file a block of `target`, for InsertBlock with a path:
  // its model space becomes a block definition named after the file's base
  // name (base point $INSBASE), with the blocks it uses. A live block of that
  // name is returned unchanged. Only ADDS records to `target` (never changes or
  // erases existing ones), so the host can take the addition back on undo.
  virtual BlockId InsertAsBlock(Database& target, const std::string& path) = 0;
};

// Writes drawing files, for Document.Save and SaveAs: atomically (temporary
// file, flush, rename) keeping the old file as NAME.bak. A failure throws
// cad::HostError saying why and leaves the old file untouched.
class DrawingSaver {
 public:
  virtual ~DrawingSaver() = default;
  virtual void Save(const Database& drawing, const std::string& path) = 0;
};

}  // namespace cadhost
