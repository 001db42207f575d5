// The window base: caption, geometry in twips, window state, the load, show,
// hide and unload cycle with its events, keyboard focus, and the registry of
// the window's controls by name.
#pragma once

#include "forms/control.h"
#include "forms/control_array.h"
#include "forms/ui_port.h"

#include <functional>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

namespace forms {

enum class WindowState { Normal, Minimized, Maximized };

// Why a window is being unloaded (the classic QueryUnload codes).
enum class UnloadMode : int {
  ControlMenu = 0,  // the user closed it with its close box
  Code = 1,         // the program unloaded it
  MdiParent = 4,    // its MDI parent is closing
};

// What one window owns: its state as a window, its events, the focused
// control, and the registry through which its controls are found by name
// (`Form.Control`, `Form.Control(1)`). Window models derive from it, hold
// their controls as members and register them in their constructor.
// A window is loaded on first Load or Show; unloading it puts the window and
// all its controls back into the state they had when it was first loaded, so
// a window loaded again starts as designed. Setting a control of a window
// that is not loaded does not load it: call Load() first where the Load
// handler must run before the change.
class Form {
 public:
  Form(std::string name, UiPort& ui);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& Name() const { return name_; }
  UiPort& Ui() const { return ui_; }

  const std::string& Caption() const { return window_.caption; }
  void Caption(std::string caption) { window_.caption = std::move(caption); }
  int Left() const { return window_.left; }
  void Left(int twips) { window_.left = twips; }
  int Top() const { return window_.top; }
  void Top(int twips) { window_.top = twips; }
  int Width() const { return window_.width; }
  void Width(int twips) { window_.width = twips; }
  int Height() const { return window_.height; }
  void Height(int twips) { window_.height = twips; }
  void Move(int left, int top, int width, int height);
  WindowState State() const { return window_.state; }
  void State(WindowState state) { window_.state = state; }

  bool Loaded() const { return loaded_; }
  bool Visible() const { return visible_; }

  // Loads the window (Load event) if it is not loaded.
  void Load();
  // Loads the window if needed, shows it and makes it the active window
  // (Activate event). Does nothing more when the Load handler unloaded it.
  void Show();
  void Hide();
  // Asks QueryUnload, then Unload, either of which may cancel; then the
  // window disappears and the window active before it becomes active.
  // Returns false when a handler cancelled.
  bool Unload(UnloadMode mode = UnloadMode::Code);
  // The user closes the window with its close box.
  bool Close() { return Unload(UnloadMode::ControlMenu); }
  // The program brings the window to the front and activates it.
  void BringToFront() { ui_.ActivateWindow(*this); }
  void Repaint() const { ui_.Repaint(*this); }

  // Control registry.
  void Register(Control& control);
  template <class ControlType>
  void Register(ControlArray<ControlType>& array) {
    for (ControlType& member : array) Register(member);
  }
  // The control named `name` (and with `index` inside a control array),
  // names compared without regard to case; null when there is none.
  Control* FindControl(std::string_view name, int index = -1) const;
  const std::vector<Control*>& Controls() const { return controls_; }

  // Stacking positions for a control brought to the front or sent to the back.
  int NextFrontPosition() { return ++frontPosition_; }
  int NextBackPosition() { return --backPosition_; }

  // Keyboard focus.
  Control* ActiveControl() const { return activeControl_; }
  // Moves the focus to `control`: LostFocus on the control that had it, then
  // GotFocus on `control`.
  void MoveFocus(Control* control);
  // `control` loses the focus and no control of the window has it.
  void DropFocus(Control* control);

  // `window FORM loaded=0|1 visible=0|1 caption="..." left=L top=T width=W
  // height=H state=normal|minimized|maximized`.
  std::string Dump() const;
  // The dump of one registered control; unknown names are refused.
  std::string DumpControl(std::string_view name, int index = -1) const;

  std::function<void()> onLoad;
  std::function<void()> onActivate;
  std::function<void(bool& cancel, UnloadMode mode)> onQueryUnload;
  std::function<void(bool& cancel)> onUnload;

 private:
  friend class UiPort;
  void RaiseActivate() { RaiseEvent(onActivate); }
  void SaveDesignState();
  void RestoreDesignState();

  struct WindowProperties {
    std::string caption;
    int left = 0;
    int top = 0;
    int width = 4800;
    int height = 3600;
    WindowState state = WindowState::Normal;
  };

  std::string name_;
  UiPort& ui_;
  WindowProperties window_;
  WindowProperties designWindow_;
  bool designSaved_ = false;
  bool loaded_ = false;
  bool visible_ = false;
  Control* activeControl_ = nullptr;
  int frontPosition_ = 0;
  int backPosition_ = 0;
  std::vector<Control*> controls_;
};

std::string_view WindowStateName(WindowState state);  // "normal", "minimized", "maximized"

}  // namespace forms
