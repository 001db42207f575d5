#include "forms/window_manager.h"

#include "forms/form.h"
#include "forms/text_format.h"

#include <algorithm>

namespace forms {
namespace {

void Erase(std::vector<Form*>& list, const Form* form) {
  list.erase(std::remove(list.begin(), list.end(), form), list.end());
}

}  // namespace

void WindowManager::Add(Form& form) {
  if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end()) forms_.push_back(&form);
}

void WindowManager::Forget(Form& form) {
  Erase(forms_, &form);
  Erase(history_, &form);
  if (active_ == &form) active_ = nullptr;
}

Form* WindowManager::Find(std::string_view name) const {
  for (Form* form : forms_) {
    if (EqualsNoCase(form->Name(), name)) return form;
  }
  return nullptr;
}

bool WindowManager::Activate(Form& form) {
  Erase(history_, &form);
  history_.push_back(&form);
  if (active_ == &form) return false;
  active_ = &form;
  return true;
}

Form* WindowManager::Withdraw(Form& form) {
  Erase(history_, &form);
  if (active_ != &form) return nullptr;
  active_ = nullptr;
  for (auto it = history_.rbegin(); it != history_.rend(); ++it) {
    if ((*it)->Visible()) return *it;
  }
  return nullptr;
}

}  // namespace forms
