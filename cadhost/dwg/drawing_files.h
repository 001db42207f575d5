// Drawing files for the built-in host: DXF read and written directly, DWG
// read through the DWG reader helper.
#pragma once

#include <memory>
#include <string>

#include "cadhost/drawing_files.h"
#include "cadhost/dwg/dwg_converter.h"
#include "cadhost/dxf/drawing_files.h"

namespace cadhost::dwg {

// Opens and inserts DXF and DWG drawings, told apart by their content; a DWG
// drawing is converted to DXF, read, and put right from the reader's
// attribute sidecar, and its Database says it was imported and what it lost.
// Saves write DXF, and never over a DWG file.
class DrawingFiles : public DrawingLoader, public DrawingSaver {
 public:
  explicit DrawingFiles(DwgReaderSetup setup);

  std::unique_ptr<Database> Open(const std::string& path) override;
  // "FOLDER\NAME.dwg" takes NAME.dwg, or NAME.dxf when there is no NAME.dwg.
  BlockId InsertAsBlock(Database& target, const std::string& path) override;
  void Save(const Database& drawing, const std::string& path) override;

  const DwgConverter& converter() const { return converter_; }

 private:
  std::unique_ptr<Database> ReadFile(const std::filesystem::path& file, const std::string& shownName);
  std::unique_ptr<Database> ImportDwg(const std::filesystem::path& file, const std::string& shownName);

  DwgConverter converter_;
  dxf::DxfDrawingFiles dxf_;
};

}  // namespace cadhost::dwg
