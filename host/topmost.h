// Keeping one of the program's windows above every other window, and letting
// it go again.
#pragma once

namespace forms {
class Form;
}

namespace host {

// Places the window above all others (the platform's topmost z-order). A
// failure leaves the window order as it was and reports nothing.
void SetTopmost(const forms::Form& window);

// Ends the topmost placement. SetTopmost followed by ClearTopmost brings a
// window to the front without leaving it on top. Failures are ignored.
void ClearTopmost(const forms::Form& window);

}  // namespace host
