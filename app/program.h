// The composition root of the `cindral` command: the built-in host instances,
// the route to them, every window model, and the one error boundary their
// handlers are entered through.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/options.h"
#include "cadhost/application.h"
#include "cadhost/dwg/drawing_files.h"
#include "cadhost/running_object_table.h"
#include "cadhost/services.h"
#include "forms/form.h"
#include "host/error_boundary.h"
#include "host/frm_mdi.h"
#include "host/frm_progress.h"
#include "host/frm_rtext.h"
#include "host/frm_start.h"
#include "host/startup.h"
#include "inventory/frm_replace_blocks.h"
#include "matching/frm_match_atts.h"
#include "setup/frm_drive_dir.h"

namespace app {

// A host instance could not be started as the command line asks (a drawing
// that cannot be opened); `what()` names the drawing and the host's reason.
class StartError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Owns the running host instances (registered in the running-object table
// under their class identifiers), the host switching operations and every
// window of the program, wired through the error boundary. Both the desktop
// and the scripted mode build one around their own user-interface port.
class Program {
  // Declared first: the windows below are made with them.
  forms::UiPort& ui_;
  std::shared_ptr<cadhost::EntityPicker> picker_;
  // DXF and DWG drawing files, shared by every host instance.
  std::shared_ptr<cadhost::dwg::DrawingFiles> files_;
  cadhost::RunningObjectTable broker_;
  host::HostSwitching switching_;
  host::ErrorBoundary boundary_;
  std::vector<std::shared_ptr<cadhost::HostApplication>> hosts_;
  bool started_ = false;

 public:
  // Starts the hosts the options name, opening the drawings in the first one
  // (a new empty drawing when none is given). Throws StartError.
  Program(const Options& options, forms::UiPort& ui, std::shared_ptr<cadhost::EntityPicker> picker);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Launches the program: the start window probes, attaches and, when it
  // succeeds, opens the main frame and the work window.
  void Start();
  // The main frame was closed, or start-up gave up.
  bool Ended() const;
  // Closes the main frame as the user would with its close box.
  void Close();

  // --save: the user's host saves its active drawing to `path`. Returns the
  // host's reason when it could not, nothing when it saved.
  std::optional<std::string> SaveActiveDrawing(const std::string& path) const;

  // The host the user works in: the first instance started, or the one
  // started later to re-attach; null when none runs.
  std::shared_ptr<cadhost::HostApplication> UserHost() const;
  // Every host instance started so far, the user's first (the desktop gives
  // each its window).
  const std::vector<std::shared_ptr<cadhost::HostApplication>>& Hosts() const { return hosts_; }
  // Told of each host started after construction (one started to re-attach),
  // before it is shown or hidden, so the desktop gives it a window too.
  std::function<void(const std::shared_ptr<cadhost::HostApplication>&)> onHostStarted;
  // The titles of the host windows, for activating a window by title.
  std::vector<std::string> HostWindowTitles() const;

  forms::UiPort& Ui() const { return ui_; }
  cadhost::RunningObjectTable& Broker() { return broker_; }
  host::HostSwitching& Switching() { return switching_; }
  const host::ErrorBoundary& Boundary() const { return boundary_; }

  // The windows, in the order they were made.
  host::Frm__Start start;
  host::Frm__MDI mainFrame;
  inventory::Frm_ReplaceBlocks replaceBlocks;
  host::FrmProgress progress;
  host::FrmProgress2 progress2;
  host::FrmRText notesViewer;
  matching::Frm_MatchAtts matchAtts;
  setup::Frm_DriveDir driveDir;

 private:
  std::shared_ptr<cadhost::HostApplication> StartHost(const std::string& version);
  void StartHosts(const Options& options);
  void WireWindows();

};

}  // namespace app
