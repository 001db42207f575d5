#include "host/frm_start.h"

#include "host/error_boundary.h"
#include "host/host_state.h"
#include "host/startup.h"
#include "host/topmost.h"

namespace host {

Frm__Start::Frm__Start(forms::UiPort& ui, cad::ObjectBroker& broker)
    : Form("Frm__Start", ui), broker_(broker) {
  Caption("");
  Move(0, 0, 6015, 3690);
  Label1.Caption("Cindral");
  Label1.Move(1800, 240, 3975, 735);
  ImgLogo.Picture("cindral_start.png");
  ImgLogo.Move(240, 240, 1335, 1335);
  LblLoading.Caption("Loading");
  LblLoading.Move(1800, 1800, 1815, 255);
  LblLoading.Visible(false);
  ProBarLoading.Move(240, 2160, 5535, 300);
  ProBarLoading.Max(static_cast<float>(kLoadingMax));
  ProBarLoading.Min(0.0F);
  ProBarLoading.Visible(false);
  LblTime.Caption("date");
  LblTime.Move(240, 2880, 5535, 255);
  for (forms::Control* control :
       std::initializer_list<forms::Control*>{&Label1, &ImgLogo, &LblLoading, &ProBarLoading, &LblTime}) {
    Register(*control);
  }
}

void Frm__Start::WireHandlers(const ErrorBoundary& boundary) {
  onLoad = boundary.Guard([this] { Form_Load(); });
  onActivate = boundary.Guard([this] { Form_Activate(); });
}

void Frm__Start::Form_Load() {
  const ReleaseProbe probe = ProbeRunningReleases(broker_);
  const ProbeVerdict verdict = Decide(probe);
  if (verdict != ProbeVerdict::Attach) {
    Ui().ShowMessage(ProbeMessage(verdict));
    Unload();
    return;
  }
  try {
    Attach(Ui(), probe.found);
  } catch (const AttachError& failure) {
    // A host that cannot be shown or restored is not attached: say why and
    // end, with nothing else shown.
    Ui().ShowMessage(AttachProblemMessage(failure.what()));
    Unload();
    return;
  }
  SetTopmost(*this);
  Repaint();
}

void Frm__Start::Form_Activate() {
  if (displayed_) return;
  displayed_ = true;
  try {
    RefreshHostState();
  } catch (const cad::HostError&) {
    // The host state keeps what the attach recorded.
  }
  if (links_.initialiseSelectionFilter) links_.initialiseSelectionFilter();
  LoadingDisplay();
  Unload();
  Ui().DoEvents();
  if (links_.mainFrame != nullptr) links_.mainFrame->Show();
  if (links_.workWindow != nullptr && links_.mainFrame != nullptr && links_.mainFrame->Loaded()) {
    links_.workWindow->Show();
    links_.workWindow->Repaint();
  }
  Ui().DoEvents();
}

void Frm__Start::LoadingDisplay() {
  LblLoading.Visible(true);
  ProBarLoading.Visible(true);
  Repaint();
  // The port may draw fewer frames than values (coalescing to screen rate).
  for (int value = 0; value <= kLoadingMax; ++value) {
    ProBarLoading.Value(static_cast<float>(value));
    Repaint();
  }
}

}  // namespace host
