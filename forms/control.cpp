#include "forms/control.h"

#include "forms/form.h"
#include "forms/text_format.h"

namespace forms {

std::string Control::QualifiedName() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::Move(int left, int top, int width, int height) {
  common_.left = left;
  common_.top = top;
  common_.width = width;
  common_.height = height;
}

void Control::ZOrder(int position) {
  if (position != kBringToFront && position != kSendToBack) Fail("takes z-order 0 (front) or 1 (back)");
  if (form_ == nullptr) Fail("is not on a form");
  common_.zPosition = position == kBringToFront ? form_->NextFrontPosition() : form_->NextBackPosition();
}

bool Control::TakesUserInput() const {
  for (const Control* c = this; c != nullptr; c = c->container_) {
    if (!c->Visible() || !c->Enabled()) return false;
  }
  return true;
}

bool Control::HasFocus() const { return form_ != nullptr && form_->ActiveControl() == this; }

void Control::SetFocus() {
  if (!CanTakeFocus()) Fail("cannot take the focus");
  if (!Visible() || !Enabled()) Fail("cannot take the focus while hidden or disabled");
  if (form_ == nullptr) Fail("is not on a form");
  form_->MoveFocus(this);
}

void Control::BeginUserGesture() {
  if (form_ != nullptr && !form_->Visible()) Fail("is on a window that is not showing");
  if (!TakesUserInput()) Fail("is hidden or disabled");
  if (CanTakeFocus() && form_ != nullptr) form_->MoveFocus(this);
}

void Control::UserClick() {
  BeginUserGesture();
  RaiseEvent(onClick);
}

void Control::UserLeave() {
  if (!HasFocus()) Fail("does not have the focus");
  form_->DropFocus(this);
}

std::string Control::Dump(const std::string& formName) const {
  std::string line = Kind() + " " + formName + "." + QualifiedName() +
                     " caption=" + QuoteText(Caption());
  if (const std::string value = DumpValue(); !value.empty()) line += " " + value;
  line += std::string(" visible=") + (Visible() ? "1" : "0") +
          " enabled=" + (Enabled() ? "1" : "0") + " color=" + ForeColor().Hex();
  return line;
}

void Control::Fail(const std::string& reason) const {
  const std::string where = form_ != nullptr ? form_->Name() + "." : std::string();
  throw ControlError(where + QualifiedName() + " " + reason);
}

}  // namespace forms
