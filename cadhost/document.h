// One open drawing of the built-in host, as the automation object model sees it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/command_line.h"
#include "cadhost/drawing.h"
#include "cadhost/services.h"
#include "host/cad.h"

namespace cadhost {

class HostApplication;
class HostSelectionSets;

// Owns the drawing (database, journal, indexes) of one document, its named
// selection sets, its command line and its active UCS. Every object handed
// out for it (entities, blocks, layers, sets) holds the document and fails
// once it is closed.
class HostDocument : public cad::Document, public std::enable_shared_from_this<HostDocument> {
 public:
  HostDocument(std::weak_ptr<HostApplication> application, std::unique_ptr<Database> database,
               std::string fullName, std::string name, std::shared_ptr<HostServices> services);
  ~HostDocument() override;

  // The drawing, for the host's own objects; fails once the document is closed.
  Drawing& drawing();
  const Drawing& drawing() const;
  bool IsClosed() const { return closed_; }
  CommandLine& commandLine() { return commandLine_; }
  const HostServices& services() const { return *services_; }
  // The topmost live entity whose geometry passes within `aperture` of the
  // point (model space), for a picker; null when none.
  cad::EntityPtr EntityAt(const cad::Point3& point, double aperture);
  // Undo and redo of whole steps, for the host window.
  bool Undo();
  bool Redo();
  // The entities of the most recent selection (mode Previous).
  std::vector<EntityId>& previousSelection() { return previous_; }
  void Detach();  // closes the document without going through the application
  // The file name of the DWG drawing this one was imported from, until it is
  // saved as DXF; empty for a drawing read from DXF or made new.
  std::string ImportedFrom() const;
  // For a drawing imported with losses, the message telling the user what
  // the DWG reader could not carry, the first time it is asked; then nothing.
  std::optional<std::string> TakeImportNotice();
  bool ImportNoticePending() const;
  // Whether the drawing's file (FullName) is one it was read from or saved
  // to; not so for a DWG import until its DXF has been saved once.
  bool SavedToOwnFile() const { return savedToOwnFile_; }

  cad::ApplicationPtr Application() const override;
  std::string Name() const override;
  std::string FullName() const override;
  cad::BlockPtr ModelSpace() const override;
  cad::BlockPtr PaperSpace() const override;
  cad::BlocksPtr Blocks() const override;
  cad::LayersPtr Layers() const override;
  cad::UserCoordinateSystemsPtr UserCoordinateSystems() const override;
  cad::LayerPtr ActiveLayer() const override;
  void ActiveLayer(const cad::LayerPtr& layer) override;
  cad::UcsPtr ActiveUCS() const override;
  void ActiveUCS(const cad::UcsPtr& ucs) override;
  cad::SelectionSetsPtr SelectionSets() const override;
  cad::UtilityPtr Utility() const override;
  void SendCommand(const std::string& command) override;
  cad::ObjectPtr HandleToObject(const std::string& handle) const override;
  void StartUndoMark() override;
  void EndUndoMark() override;
  void CancelUndoMark() override;
  bool Saved() const override;
  void Save() override;
  void SaveAs(const std::string& path) override;
  void Activate() override;
  void Close() override;

 private:
  std::shared_ptr<HostDocument> Self() const;
  void CheckOpen() const;

  std::weak_ptr<HostApplication> application_;
  std::unique_ptr<Drawing> drawing_;
  std::string fullName_;
  std::string name_;
  std::shared_ptr<HostServices> services_;
  std::shared_ptr<HostSelectionSets> selectionSets_;
  CommandLine commandLine_;
  std::uint32_t activeUcs_ = 0;  // index into the UCS table; 0 = world
  std::uint64_t savedVersion_ = 0;
  std::vector<EntityId> previous_;
  bool closed_ = false;
  bool importNoticeTaken_ = false;
  bool savedToOwnFile_ = true;
};

}  // namespace cadhost
