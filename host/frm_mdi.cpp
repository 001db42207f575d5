#include "host/frm_mdi.h"

#include <vector>

#include "forms/control.h"
#include "host/error_boundary.h"
#include "host/startup.h"
#include "host/topmost.h"

namespace host {

Frm__MDI::Frm__MDI(forms::UiPort& ui, HostSwitching& switching) : Form("Frm__MDI", ui), switching_(switching) {
  Caption("Cindral");
  Move(0, 0, 15360, 11520);
}

void Frm__MDI::WireHandlers(const ErrorBoundary& boundary) {
  onLoad = boundary.Guard([this] { MDIForm_Load(); });
  onClick = boundary.Guard([this] { MDIForm_Click(); });
  onUnload = boundary.Guard(std::function<void(bool&)>([this](bool&) { MDIForm_Unload(); }));
}

void Frm__MDI::UserClickClientArea() {
  if (!Loaded() || !Visible()) throw forms::ControlError(Name() + " is not showing");
  forms::RaiseEvent(onClick);
}

void Frm__MDI::MDIForm_Load() {
  State(forms::WindowState::Maximized);
  SetTopmost(*this);
  ClearTopmost(*this);
}

void Frm__MDI::MDIForm_Click() { switching_.ActivateHost(); }

void Frm__MDI::MDIForm_Unload() {
  // One pass over a snapshot of the windows; a window whose own handler
  // refuses to go, or fails, is left and the next one is tried.
  std::vector<forms::Form*> others;
  for (forms::Form* form : Ui().Windows().Forms()) {
    if (form != this && form->Loaded()) others.push_back(form);
  }
  for (forms::Form* form : others) {
    try {
      form->Unload(forms::UnloadMode::MdiParent);
    } catch (const PortAbort&) {
      throw;
    } catch (const std::exception&) {
    }
  }
}

}  // namespace host
