// The main frame: the program's top-level window that holds the work window.
#pragma once

#include <functional>

#include "forms/form.h"

namespace host {

class ErrorBoundary;
class HostSwitching;

// Owns the frame's own behaviour: it opens maximised and in front, a click on
// its empty client area hands the user over to the host, and closing it
// unloads every other window of the program, which ends the program.
class Frm__MDI : public forms::Form {
 public:
  Frm__MDI(forms::UiPort& ui, HostSwitching& switching);

  void WireHandlers(const ErrorBoundary& boundary);

  // The user clicks the frame's empty client area (outside any child window).
  // Refused (ControlError) when the frame is not showing.
  void UserClickClientArea();

  void MDIForm_Load();
  void MDIForm_Click();
  void MDIForm_Unload();

  std::function<void()> onClick;

 private:
  HostSwitching& switching_;
};

}  // namespace host
