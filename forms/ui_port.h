// The user-interface port: everything the program needs from a person or a
// screen. The desktop, the scripted runs and the unit tests each provide one.
#pragma once

#include "forms/message_box.h"
#include "forms/window_manager.h"

#include <string_view>

namespace forms {

class Form;

// Message boxes, yielding to the event queue, repaints, keep-on-top, bringing
// a top-level window to the front by title, and showing, hiding and
// activating the program's windows. The window bookkeeping is the same for
// every port and lives here: showing a window activates it, hiding or
// unloading the active window activates the one active before it, and each
// activation change runs the window's Activate event. Ports say what each
// step looks like through the On... hooks.
class UiPort {
 public:
  UiPort() = default;
  virtual ~UiPort() = default;
  UiPort(const UiPort&) = delete;
  UiPort& operator=(const UiPort&) = delete;

  // Shows a modal message box and returns the button the user pressed.
  virtual MessageAnswer ShowMessage(const MessageBoxRequest& box) = 0;
  // Lets pending window events run once (DoEvents).
  virtual void DoEvents() = 0;
  // Draws the window now.
  virtual void Repaint(const Form& form) = 0;
  // Brings the top-level window whose title is `title`, or begins with it, to
  // the front (the host's window, or the program's own); false when no window
  // has such a title.
  virtual bool ActivateTopLevel(std::string_view title) = 0;
  // Keeps the window above all others, or stops doing so.
  virtual void SetTopmost(const Form& form) = 0;
  virtual void ClearTopmost(const Form& form) = 0;

  // Window bookkeeping, called by Form.
  void ShowWindow(Form& form);
  void HideWindow(Form& form);
  void UnloadWindow(Form& form);
  // A window model is being destroyed: the port lets go of everything that
  // shows it.
  void ForgetWindow(Form& form);
  // Makes a showing window the active one (a hidden window cannot become
  // active; the call then does nothing).
  void ActivateWindow(Form& form);

  WindowManager& Windows() { return windows_; }
  const WindowManager& Windows() const { return windows_; }

 protected:
  virtual void OnShow(const Form& form) = 0;
  virtual void OnHide(const Form& form) = 0;
  virtual void OnUnload(const Form& form) = 0;
  virtual void OnActivate(const Form& form) = 0;
  virtual void OnForget(const Form& /*form*/) {}

 private:
  void ActivatePrevious(Form& leaving);

  WindowManager windows_;
};

}  // namespace forms
