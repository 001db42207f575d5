// Addresses of windows and controls as scripts and transcripts write them:
// `Form`, `Form.Control`, `Form.Control(1)`.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace forms {

class Control;
class Form;
class WindowManager;

struct ControlAddress {
  std::string form;
  std::string control;  // empty when the address names the window itself
  int index = -1;       // index inside a control array, -1 for none

  friend bool operator==(const ControlAddress&, const ControlAddress&) = default;
};

// Reads an address; nullopt when it is not of one of the three forms (names
// of letters, digits and "_"; an index of decimal digits).
std::optional<ControlAddress> ParseControlAddress(std::string_view text);

// The window and control an address names among the windows of `windows`.
// `control` stays null for an address of a window. Throws ControlError naming
// what is missing: the window, or the control on it.
struct ResolvedAddress {
  Form* form = nullptr;
  Control* control = nullptr;
};
ResolvedAddress Resolve(const WindowManager& windows, const ControlAddress& address);

}  // namespace forms
