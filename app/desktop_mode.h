// The desktop program: the windows on a real screen, beside the host's window.
#pragma once

#include "app/options.h"

namespace app {

// Runs the desktop program until its windows and the host's windows are all
// closed; returns the process exit status. Start-up failures are shown in a
// message box as well as on standard error.
int RunDesktop(const Options& options, int argc, char** argv);

}  // namespace app
