#include "cadhost/document.h"

#include <filesystem>

#include "cadhost/application.h"
#include "cadhost/entity_objects.h"
#include "cadhost/errors.h"
#include "cadhost/selection_sets.h"
#include "cadhost/table_objects.h"

namespace cadhost {

namespace {

// Picking goes to the picker the host was given (its window, or a test's).
class HostUtility : public cad::Utility {
 public:
  explicit HostUtility(std::shared_ptr<HostDocument> document) : document_(std::move(document)) {}
  cad::PickedEntity GetEntity(const std::string& prompt) override {
    document_->drawing();
    auto picker = document_->services().picker;
    if (!picker) Fail("Cannot pick an object: this host has no user interface to pick with");
    std::optional<cad::PickedEntity> picked = picker->Pick(*document_, prompt);
    if (!picked) Fail("The user cancelled the pick");
    if (!picked->entity) Fail("Nothing was picked");
    EntityIdOf(picked->entity, *document_);  // it must be an object of this drawing
    return *picked;
  }

 private:
  std::shared_ptr<HostDocument> document_;
};

}  // namespace

HostDocument::HostDocument(std::weak_ptr<HostApplication> application,
                           std::unique_ptr<Database> database, std::string fullName,
                           std::string name, std::shared_ptr<HostServices> services)
    : application_(std::move(application)),
      drawing_(std::make_unique<Drawing>(std::move(database))),
      fullName_(std::move(fullName)),
      name_(std::move(name)),
      services_(std::move(services)) {
  savedVersion_ = drawing_->journal().Version();
  savedToOwnFile_ = !drawing_->db().imported.has_value();
}

HostDocument::~HostDocument() = default;

std::shared_ptr<HostDocument> HostDocument::Self() const {
  CheckOpen();
  return std::const_pointer_cast<HostDocument>(shared_from_this());
}

void HostDocument::CheckOpen() const {
  if (closed_) Fail(kDrawingClosed);
}

Drawing& HostDocument::drawing() {
  CheckOpen();
  return *drawing_;
}

const Drawing& HostDocument::drawing() const {
  CheckOpen();
  return *drawing_;
}

cad::EntityPtr HostDocument::EntityAt(const cad::Point3& point, double aperture) {
  Drawing& d = drawing();
  double a = aperture > 0 ? aperture : 1e-9;
  SelectionArea square({point.x - a, point.y - a, 0, point.x + a, point.y - a, 0, point.x + a,
                        point.y + a, 0, point.x - a, point.y + a, 0});
  auto found = d.index().Meeting(square.Bounds());
  for (auto it = found.rbegin(); it != found.rend(); ++it) {
    const Entity& entity = d.db().At(*it);
    if (entity.erased || entity.container != d.db().ModelSpace()) continue;
    if (square.Touches(d.OutlineOf(*it))) return MakeEntityObject(Self(), *it);
  }
  return nullptr;
}

bool HostDocument::Undo() { return drawing().journal().Undo(); }
bool HostDocument::Redo() { return drawing().journal().Redo(); }

cad::ApplicationPtr HostDocument::Application() const {
  CheckOpen();
  auto application = application_.lock();
  if (!application) Fail("The host application has ended");
  return application;
}

std::string HostDocument::Name() const {
  CheckOpen();
  return name_;
}

std::string HostDocument::ImportedFrom() const {
  const auto& imported = drawing().db().imported;
  if (!imported || savedToOwnFile_) return {};  // once saved, the DXF is its file
  return std::filesystem::path(imported->sourcePath).filename().string();
}

bool HostDocument::ImportNoticePending() const {
  const auto& imported = drawing().db().imported;
  return imported && !imported->losses.empty() && !importNoticeTaken_;
}

std::optional<std::string> HostDocument::TakeImportNotice() {
  if (!ImportNoticePending()) return std::nullopt;
  importNoticeTaken_ = true;
  const auto& imported = drawing().db().imported;
  std::string lost;
  for (const std::string& item : imported->losses) lost += (lost.empty() ? "" : ", ") + item;
  return std::filesystem::path(imported->sourcePath).filename().string() +
         " was read as a DWG drawing; it is saved as " + name_ +
         " beside it. The DWG reader could not carry: " + lost + ".";
}

std::string HostDocument::FullName() const {
  CheckOpen();
  return fullName_;
}

cad::BlockPtr HostDocument::ModelSpace() const {
  BlockId id = drawing().db().ModelSpace();
  if (!id) Fail("The drawing has no model space");
  return MakeBlockObject(Self(), id);
}

cad::BlockPtr HostDocument::PaperSpace() const {
  BlockId id = drawing().db().PaperSpace();
  if (!id) Fail("The drawing has no paper space layout");
  return MakeBlockObject(Self(), id);
}

cad::BlocksPtr HostDocument::Blocks() const { return MakeBlocksObject(Self()); }
cad::LayersPtr HostDocument::Layers() const { return MakeLayersObject(Self()); }
cad::UserCoordinateSystemsPtr HostDocument::UserCoordinateSystems() const {
  return MakeUcssObject(Self());
}

cad::LayerPtr HostDocument::ActiveLayer() const {
  const Database& db = drawing().db();
  auto index = db.layers.Find(db.header.currentLayer);
  if (!index) index = db.layers.Find("0");
  if (!index) Fail("The drawing has no current layer");
  return MakeLayerObject(Self(), index);
}

void HostDocument::ActiveLayer(const cad::LayerPtr& layer) {
  if (!layer) Fail("Object variable not set");
  auto index = LayerIndexOf(layer, *this);
  const LayerRecord& record = drawing().db().layers.At(index);
  if (record.erased) Fail(kObjectErased);
  if (record.Frozen()) Fail("Cannot make the frozen layer \"" + record.name + "\" current");
  std::string name = record.name;
  drawing().ChangeHeader([&name](Header& header) { header.currentLayer = name; });
}

cad::UcsPtr HostDocument::ActiveUCS() const {
  const Database& db = drawing().db();
  if (!activeUcs_ || db.ucss.At(activeUcs_).erased)
    Fail("The world coordinate system is current: no named UCS is active");
  return MakeUcsObject(Self(), activeUcs_);
}

void HostDocument::ActiveUCS(const cad::UcsPtr& ucs) {
  if (!ucs) Fail("Object variable not set");
  auto index = UcsIndexOf(ucs, *this);
  if (drawing().db().ucss.At(index).erased) Fail(kObjectErased);
  activeUcs_ = index;
}

cad::SelectionSetsPtr HostDocument::SelectionSets() const {
  CheckOpen();
  auto self = const_cast<HostDocument*>(this);
  if (!selectionSets_) self->selectionSets_ = std::make_shared<HostSelectionSets>(self->weak_from_this());
  return selectionSets_;
}

cad::UtilityPtr HostDocument::Utility() const { return std::make_shared<HostUtility>(Self()); }

void HostDocument::SendCommand(const std::string& command) { commandLine_.Run(drawing(), command); }

cad::ObjectPtr HostDocument::HandleToObject(const std::string& handle) const {
  const Database& db = drawing().db();
  auto value = ParseHandle(handle);
  if (!value || *value == 0) Fail("Invalid handle \"" + handle + "\"");
  if (EntityId id = db.FindEntity(*value)) return MakeEntityObject(Self(), id);
  for (std::uint32_t i = 1; i <= db.layers.Size(); ++i)
    if (db.layers.At(i).handle == *value && !db.layers.At(i).erased) return MakeLayerObject(Self(), i);
  for (std::uint32_t i = 1; i <= db.ucss.Size(); ++i)
    if (db.ucss.At(i).handle == *value && !db.ucss.At(i).erased) return MakeUcsObject(Self(), i);
  for (std::uint32_t b = 1; b <= db.BlockCount(); ++b) {
    const BlockDefinition& block = db.Block(BlockId{b});
    if (block.erased) continue;
    Handle record = block.recordIndex ? db.blockRecords.At(block.recordIndex).handle : 0;
    if (block.handle == *value || record == *value) return MakeBlockObject(Self(), BlockId{b});
  }
  Fail("No object has the handle \"" + handle + "\"");
}

void HostDocument::StartUndoMark() { drawing().journal().StartMark(); }

void HostDocument::EndUndoMark() {
  if (!drawing().journal().EndMark()) Fail("There is no open undo mark to end");
}

void HostDocument::CancelUndoMark() {
  if (!drawing().journal().CancelMark()) Fail("There is no open undo mark to cancel");
}

bool HostDocument::Saved() const { return drawing().journal().Version() == savedVersion_; }

void HostDocument::Save() {
  CheckOpen();
  if (fullName_.empty()) Fail("The drawing \"" + name_ + "\" has no file yet: save it with SaveAs");
  SaveAs(fullName_);
}

void HostDocument::SaveAs(const std::string& path) {
  Drawing& d = drawing();
  if (!services_->saver)
    Fail("Cannot save \"" + path + "\": this host has no drawing file writer installed");
  services_->saver->Save(d.db(), path);
  fullName_ = path;
  name_ = std::filesystem::path(path).filename().string();
  savedVersion_ = d.journal().Version();
  savedToOwnFile_ = true;
}

void HostDocument::Activate() {
  CheckOpen();
  if (auto application = application_.lock()) application->Activate(Self());
}

void HostDocument::Close() {
  CheckOpen();
  auto keep = Self();
  Detach();
  if (auto application = application_.lock()) application->Closed(this);
}

void HostDocument::Detach() {
  if (selectionSets_) selectionSets_->Clear();
  closed_ = true;
}

}  // namespace cadhost
