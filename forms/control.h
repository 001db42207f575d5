// The base of every control model: the properties all controls share, their
// events, focus, and the design-time state a window returns to when unloaded.
#pragma once

#include "forms/color.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace forms {

class Form;

// A control asked to do something it cannot: an index out of range, a value
// outside its bounds, a gesture on a disabled control. The text says which
// control and why, and is what the error boundary shows the user.
class ControlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs an event handler if one is set. The handler is copied first, so a
// handler that replaces itself (or is replaced by what it calls) finishes
// safely.
inline void RaiseEvent(const std::function<void()>& handler) {
  if (handler) {
    auto running = handler;
    running();
  }
}

// What one control owns: its name (and index inside a control array), the
// properties every kind of control has, its place (form and container), and
// the Click/GotFocus/LostFocus handlers. Events are raised synchronously,
// also when the program itself sets a property, as classic desktop toolkits do.
class Control {
 public:
  explicit Control(std::string name, int index = -1) : name_(std::move(name)), index_(index) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // The kind word used in dumps: "label", "button", "check", "option",
  // "frame", "progress", "list", "grid".
  virtual std::string Kind() const = 0;

  const std::string& Name() const { return name_; }
  // Index inside a control array, -1 for a control that is not in one.
  int Index() const { return index_; }
  // "Name" or "Name(3)".
  std::string QualifiedName() const;

  const std::string& Caption() const { return common_.caption; }
  void Caption(std::string caption) { common_.caption = std::move(caption); }
  bool Visible() const { return common_.visible; }
  void Visible(bool visible) { common_.visible = visible; }
  bool Enabled() const { return common_.enabled; }
  void Enabled(bool enabled) { common_.enabled = enabled; }
  Rgb ForeColor() const { return common_.foreColor; }
  void ForeColor(Rgb color) { common_.foreColor = color; }
  Rgb BackColor() const { return common_.backColor; }
  void BackColor(Rgb color) { common_.backColor = color; }
  int Left() const { return common_.left; }
  void Left(int twips) { common_.left = twips; }
  int Top() const { return common_.top; }
  void Top(int twips) { common_.top = twips; }
  int Width() const { return common_.width; }
  void Width(int twips) { common_.width = twips; }
  int Height() const { return common_.height; }
  void Height(int twips) { common_.height = twips; }
  // Left, top, width and height in one call, as a form designer lays a control out.
  void Move(int left, int top, int width, int height);
  int TabIndex() const { return common_.tabIndex; }
  void TabIndex(int index) { common_.tabIndex = index; }
  // Stacking among the controls of the same window: a control with a higher
  // position is drawn over one with a lower position where they overlap.
  // Controls registered later start in front of those registered before.
  int ZPosition() const { return common_.zPosition; }
  // Brings the control to the front of its window (kBringToFront) or sends it
  // behind every other control (kSendToBack), as a form designer's z-order does.
  static constexpr int kBringToFront = 0;
  static constexpr int kSendToBack = 1;
  void ZOrder(int position = kBringToFront);
  const std::string& ToolTipText() const { return common_.toolTipText; }
  void ToolTipText(std::string text) { common_.toolTipText = std::move(text); }

  // The form this control is registered on (null before registration).
  Form* Parent() const { return form_; }
  // The frame that holds this control (null when it sits on the form itself).
  // A hidden or disabled frame makes everything in it unreachable for the user.
  Control* Container() const { return container_; }
  void Container(Control* frame) { container_ = frame; }

  // True when the user can reach the control: it and every container it sits
  // in are visible and enabled.
  bool TakesUserInput() const;

  // Whether the control can hold the keyboard focus (labels, frames and
  // progress bars cannot).
  virtual bool CanTakeFocus() const { return false; }
  bool HasFocus() const;
  // The program gives the control the focus: the control that had it gets
  // LostFocus, then this one GotFocus. Fails on a hidden or disabled control.
  void SetFocus();

  // The user's gestures. Each checks that the user can reach the control,
  // moves the focus to it when it takes focus, then acts.
  // UserClick: a click on the control (buttons, check boxes, option buttons,
  // labels, frames; lists and grids take their own gestures).
  virtual void UserClick();
  // The control loses the focus (the user moves elsewhere).
  void UserLeave();

  // The state text of `dump` for the control registered on `formName`:
  // `KIND FORM.CONTROL caption="..." [value=V] visible=0|1 enabled=0|1 color=#RRGGBB`.
  virtual std::string Dump(const std::string& formName) const;

  std::function<void()> onClick;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;

 protected:
  // The value part of the dump line ("value=1"), empty for kinds without a value.
  virtual std::string DumpValue() const { return {}; }
  // Throws ControlError naming this control.
  [[noreturn]] void Fail(const std::string& reason) const;
  // Checks that the user can reach the control, then focuses it if it takes focus.
  void BeginUserGesture();

  // Design-time state: the form saves it when first loaded and restores it
  // when unloaded, so a window that is loaded again starts as designed.
  // Overrides save and restore their own properties and call the base.
  virtual void SaveDesignState() { designCommon_ = common_; }
  virtual void RestoreDesignState() { common_ = designCommon_; }

 private:
  friend class Form;

  struct CommonProperties {
    std::string caption;
    bool visible = true;
    bool enabled = true;
    Rgb foreColor = kBlack;
    Rgb backColor = kButtonFace;
    int left = 0;
    int top = 0;
    int width = 1215;
    int height = 375;
    int tabIndex = 0;
    int zPosition = 0;
    std::string toolTipText;
  };

  std::string name_;
  int index_ = -1;
  Form* form_ = nullptr;
  Control* container_ = nullptr;
  CommonProperties common_;
  CommonProperties designCommon_;
};

}  // namespace forms
