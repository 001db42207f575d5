// Window-system bookkeeping shared by every user-interface port: which
// windows exist, which one is active, and the order they were activated in.
#pragma once

#include <string_view>
#include <vector>

namespace forms {

class Form;

// Owns no window; keeps the list of the program's windows (in the order they
// were made) and their activation history, so that closing or hiding the
// active window activates the one that was active before it.
class WindowManager {
 public:
  void Add(Form& form);
  void Forget(Form& form);

  // The window named `name` (compared without regard to case), or null.
  Form* Find(std::string_view name) const;
  const std::vector<Form*>& Forms() const { return forms_; }

  Form* Active() const { return active_; }
  // Makes `form` the active window; true when the active window changed.
  bool Activate(Form& form);
  // Takes `form` out of the activation history. When it was the active
  // window, returns the most recently active window that is still showing
  // (the caller activates it), else null.
  Form* Withdraw(Form& form);

 private:
  std::vector<Form*> forms_;
  std::vector<Form*> history_;  // least recently active first
  Form* active_ = nullptr;
};

}  // namespace forms
