#include "host/topmost.h"

#include <exception>

#include "forms/form.h"

namespace host {

// Only the z-order changes; a port that cannot place the window leaves the
// order as it was, which the callers accept.
void SetTopmost(const forms::Form& window) {
  try {
    window.Ui().SetTopmost(window);
  } catch (const std::exception&) {
  }
}

void ClearTopmost(const forms::Form& window) {
  try {
    window.Ui().ClearTopmost(window);
  } catch (const std::exception&) {
  }
}

}  // namespace host
