#include "forms/ui_port.h"

#include "forms/form.h"

namespace forms {

void UiPort::ShowWindow(Form& form) {
  OnShow(form);
  ActivateWindow(form);
}

void UiPort::HideWindow(Form& form) {
  OnHide(form);
  ActivatePrevious(form);
}

void UiPort::UnloadWindow(Form& form) {
  OnUnload(form);
  ActivatePrevious(form);
}

void UiPort::ForgetWindow(Form& form) {
  OnForget(form);
  windows_.Forget(form);
}

void UiPort::ActivateWindow(Form& form) {
  if (!form.Visible()) return;
  if (!windows_.Activate(form)) return;
  OnActivate(form);
  form.RaiseActivate();
}

void UiPort::ActivatePrevious(Form& leaving) {
  if (Form* next = windows_.Withdraw(leaving)) ActivateWindow(*next);
}

}  // namespace forms
