#include "forms/form.h"

#include "forms/text_format.h"

#include <algorithm>

namespace forms {
std::string_view WindowStateName(WindowState state) {
  switch (state) {
    case WindowState::Normal: return "normal";
    case WindowState::Minimized: return "minimized";
    case WindowState::Maximized: return "maximized";
  }
  return "normal";
}

Form::Form(std::string name, UiPort& ui) : name_(std::move(name)), ui_(ui) { ui_.Windows().Add(*this); }

Form::~Form() { ui_.ForgetWindow(*this); }

void Form::Move(int left, int top, int width, int height) {
  window_.left = left;
  window_.top = top;
  window_.width = width;
  window_.height = height;
}

void Form::Load() {
  if (loaded_) return;
  if (!designSaved_) {
    SaveDesignState();
    designSaved_ = true;
  }
  loaded_ = true;
  RaiseEvent(onLoad);
}

void Form::Show() {
  Load();
  if (!loaded_) return;
  if (!visible_) {
    visible_ = true;
    ui_.ShowWindow(*this);
  } else {
    ui_.ActivateWindow(*this);
  }
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  ui_.HideWindow(*this);
}

bool Form::Unload(UnloadMode mode) {
  if (!loaded_) return true;
  bool cancel = false;
  if (onQueryUnload) {
    auto handler = onQueryUnload;
    handler(cancel, mode);
    if (cancel) return false;
  }
  if (onUnload) {
    auto handler = onUnload;
    handler(cancel);
    if (cancel) return false;
  }
  if (!loaded_) return true;  // a handler unloaded the window itself
  loaded_ = false;
  visible_ = false;
  activeControl_ = nullptr;
  RestoreDesignState();
  ui_.UnloadWindow(*this);
  return true;
}

void Form::Register(Control& control) {
  if (FindControl(control.Name(), control.Index()) != nullptr) {
    throw ControlError(name_ + " already has a control " + control.QualifiedName());
  }
  control.form_ = this;
  control.common_.zPosition = NextFrontPosition();
  controls_.push_back(&control);
}

Control* Form::FindControl(std::string_view name, int index) const {
  for (Control* control : controls_) {
    if (control->Index() == index && EqualsNoCase(control->Name(), name)) return control;
  }
  return nullptr;
}

void Form::MoveFocus(Control* control) {
  if (control == activeControl_) return;
  Control* leaving = activeControl_;
  activeControl_ = control;
  if (leaving != nullptr) RaiseEvent(leaving->onLostFocus);
  if (control != nullptr && activeControl_ == control) RaiseEvent(control->onGotFocus);
}

void Form::DropFocus(Control* control) {
  if (control == nullptr || control != activeControl_) return;
  activeControl_ = nullptr;
  RaiseEvent(control->onLostFocus);
}

std::string Form::Dump() const {
  return "window " + name_ + " loaded=" + (loaded_ ? "1" : "0") + " visible=" + (visible_ ? "1" : "0") +
         " caption=" + QuoteText(window_.caption) + " left=" + std::to_string(window_.left) +
         " top=" + std::to_string(window_.top) + " width=" + std::to_string(window_.width) +
         " height=" + std::to_string(window_.height) + " state=" + std::string(WindowStateName(window_.state));
}

std::string Form::DumpControl(std::string_view name, int index) const {
  const Control* control = FindControl(name, index);
  if (control == nullptr) {
    throw ControlError(name_ + " has no control " + std::string(name) +
                       (index < 0 ? std::string() : "(" + std::to_string(index) + ")"));
  }
  return control->Dump(name_);
}

void Form::SaveDesignState() {
  designWindow_ = window_;
  for (Control* control : controls_) control->SaveDesignState();
}

void Form::RestoreDesignState() {
  window_ = designWindow_;
  for (Control* control : controls_) control->RestoreDesignState();
}

}  // namespace forms
