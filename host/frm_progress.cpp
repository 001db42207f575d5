#include "host/frm_progress.h"

#include "host/error_boundary.h"
#include "host/topmost.h"

namespace host {

FrmProgress::FrmProgress(forms::UiPort& ui) : Form("FrmProgress", ui) {
  Caption("");
  Move(0, 420, 6000, 720);
  ProgressBar1.Move(60, 60, 5760, 255);
  Register(ProgressBar1);
}

void FrmProgress::WireHandlers(const ErrorBoundary& boundary) {
  onLoad = boundary.Guard([this] { Form_Load(); });
}

void FrmProgress::Form_Load() {
  Top(420);
  Left(0);
  Height(720);
  BringToFront();
  Repaint();
  SetTopmost(*this);
}

FrmProgress2::FrmProgress2(forms::UiPort& ui) : Form("FrmProgress2", ui) {
  Caption("");
  Move(1000, 2000, 6000, 720);
  ProgressBar2.Move(60, 60, 5760, 255);
  Register(ProgressBar2);
}

void FrmProgress2::WireHandlers(const ErrorBoundary& boundary) {
  onLoad = boundary.Guard([this] { Form_Load(); });
  onActivate = boundary.Guard([this] { Form_Activate(); });
}

void FrmProgress2::Form_Load() {
  SetTopmost(*this);
  Left(1000);
  Top(2000);
  Repaint();
}

void FrmProgress2::Form_Activate() { Repaint(); }

}  // namespace host
