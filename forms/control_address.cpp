#include "forms/control_address.h"

#include "forms/form.h"
#include "forms/window_manager.h"

#include <charconv>

namespace forms {
namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsName(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

}  // namespace

std::optional<ControlAddress> ParseControlAddress(std::string_view text) {
  ControlAddress address;
  const std::size_t dot = text.find('.');
  address.form = std::string(text.substr(0, dot));
  if (!IsName(address.form)) return std::nullopt;
  if (dot == std::string_view::npos) return address;

  std::string_view control = text.substr(dot + 1);
  if (const std::size_t open = control.find('('); open != std::string_view::npos) {
    if (control.back() != ')') return std::nullopt;
    const std::string_view digits = control.substr(open + 1, control.size() - open - 2);
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    for (char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
    }
    std::from_chars(digits.data(), digits.data() + digits.size(), address.index);
    control = control.substr(0, open);
  }
  if (!IsName(control)) return std::nullopt;
  address.control = std::string(control);
  return address;
}

ResolvedAddress Resolve(const WindowManager& windows, const ControlAddress& address) {
  ResolvedAddress resolved;
  resolved.form = windows.Find(address.form);
  if (resolved.form == nullptr) throw ControlError("there is no window " + address.form);
  if (address.control.empty()) return resolved;
  resolved.control = resolved.form->FindControl(address.control, address.index);
  if (resolved.control == nullptr) {
    throw ControlError(resolved.form->Name() + " has no control " + address.control +
                       (address.index < 0 ? std::string() : "(" + std::to_string(address.index) + ")"));
  }
  return resolved;
}

}  // namespace forms
