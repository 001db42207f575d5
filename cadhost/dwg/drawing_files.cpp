#include "cadhost/dwg/drawing_files.h"

#include <fstream>

#include "cadhost/dwg/dwg_corrections.h"
#include "cadhost/dwg/dwg_sidecar.h"
#include "cadhost/dxf/tag_reader.h"
#include "cadhost/names.h"
#include "host/cad.h"

namespace cadhost::dwg {

namespace fs = std::filesystem;

namespace {

bool StartsAsDwg(const fs::path& file) {
  char magic[4] = {};
  std::ifstream in(file, std::ios::binary);
  in.read(magic, sizeof magic);
  return in.gcount() == 4 && std::string_view(magic, 4) == "AC10";
}

bool HasDwgExtension(const fs::path& file) { return FoldName(file.extension().string()) == FoldName(".dwg"); }

// Removes a folder when the scope ends, whatever happens in it.
class FolderRemoval {
 public:
  explicit FolderRemoval(fs::path folder) : folder_(std::move(folder)) {}
  ~FolderRemoval() {
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
  }
  FolderRemoval(const FolderRemoval&) = delete;
  FolderRemoval& operator=(const FolderRemoval&) = delete;

 private:
  fs::path folder_;
};

}  // namespace

DrawingFiles::DrawingFiles(DwgReaderSetup setup) : converter_(std::move(setup)) {}

std::unique_ptr<Database> DrawingFiles::ImportDwg(const fs::path& file, const std::string& shownName) {
  const ConvertedDwg converted = converter_.Convert(file, shownName);
  const FolderRemoval removal(converted.temporaryFolder);
  std::unique_ptr<Database> drawing;
  try {
    drawing = dxf::readDxfFile(converted.dxf, shownName);
  } catch (const cad::HostError& e) {
    throw cad::HostError("Cannot read " + shownName + ": the DXF the DWG reader wrote cannot be read (" +
                         e.Description() + ")");
  }
  DwgSidecar sidecar;
  try {
    sidecar = ParseSidecar(dxf::loadFileBytes(converted.sidecar).bytes);
  } catch (const std::runtime_error& e) {  // a damaged sidecar, or one that cannot be read (DxfError)
    throw cad::HostError("Cannot read " + shownName + ": " + e.what());
  }
  CorrectionSummary summary = ApplySidecar(*drawing, sidecar);
  drawing->imported = ImportedDrawing{file.string(), std::move(summary.losses)};
  return drawing;
}

std::unique_ptr<Database> DrawingFiles::ReadFile(const fs::path& file, const std::string& shownName) {
  if (StartsAsDwg(file)) return ImportDwg(file, shownName);
  if (!HasDwgExtension(file)) return dxf::readDxfFile(file, shownName);
  // A ".dwg" file may hold DXF text (some block libraries are kept so); one
  // that holds neither is said to be neither.
  try {
    return dxf::readDxfFile(file, shownName);
  } catch (const cad::HostError& e) {
    throw cad::HostError(shownName + " is neither a DWG drawing nor a DXF drawing (" + e.Description() + ")");
  }
}

std::unique_ptr<Database> DrawingFiles::Open(const std::string& path) {
  const fs::path file = dxf::resolveDrawingPath(path);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) throw cad::HostError("Drawing file not found: " + path);
  return ReadFile(file, path);
}

BlockId DrawingFiles::InsertAsBlock(Database& target, const std::string& path) {
  const std::string name = dxf::blockNameOfFile(path);
  if (BlockId existing = target.FindBlock(name)) return existing;
  fs::path file = dxf::resolveDrawingPath(path);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec) && HasDwgExtension(file)) {
    std::string asDxf = path.substr(0, path.size() - 4) + ".dxf";
    if (fs::path other = dxf::resolveDrawingPath(asDxf); fs::is_regular_file(other, ec)) file = other;
  }
  if (!fs::is_regular_file(file, ec)) throw cad::HostError("Drawing file not found: " + path);
  const auto source = ReadFile(file, path);
  return dxf::importModelSpaceAsBlock(target, *source, name, path);
}

void DrawingFiles::Save(const Database& drawing, const std::string& path) {
  const fs::path target = dxf::resolveDrawingPath(path);
  if (StartsAsDwg(target))
    throw cad::HostError("Cannot save " + path + ": it is a DWG drawing, and this host writes DXF only; "
                         "save the drawing as a .dxf file");
  dxf_.Save(drawing, path);
}

}  // namespace cadhost::dwg
