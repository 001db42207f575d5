// The two progress windows of the long operations: the outer one (one step
// per item, with the item in its caption) and the inner one of the replace run.
#pragma once

#include "forms/form.h"
#include "forms/simple_controls.h"

namespace host {

class ErrorBoundary;

// Owns ProgressBar1. On load it places itself at the top-left under the host's
// menus and stays above every window while loaded, so neither the host nor the
// main frame hides it. Its users set the caption, the bar and repaint.
class FrmProgress : public forms::Form {
 public:
  explicit FrmProgress(forms::UiPort& ui);
  void WireHandlers(const ErrorBoundary& boundary);
  void Form_Load();

  forms::ProgressBar ProgressBar1{"ProgressBar1"};
};

// Owns ProgressBar2, the inner bar of the replace run (the references of one
// block). Topmost while loaded; repaints itself whenever it becomes active.
class FrmProgress2 : public forms::Form {
 public:
  explicit FrmProgress2(forms::UiPort& ui);
  void WireHandlers(const ErrorBoundary& boundary);
  void Form_Load();
  void Form_Activate();

  forms::ProgressBar ProgressBar2{"ProgressBar2"};
};

}  // namespace host
