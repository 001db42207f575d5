// The headless mode of the `cindral` command: gestures from a script,
// transcript on standard output.
#pragma once

#include <iosfwd>

#include "app/options.h"

namespace app {

// Runs the program from the script the options name. Returns the exit
// status: 0 when the script ran (also when the program ended before it did),
// 2 when a line could not be carried out (reported as FILE:LINE: reason on
// `err`) or the script or a drawing cannot be read, 1 when --save failed.
int RunScript(const Options& options, std::istream& standardInput, std::ostream& out, std::ostream& err);

}  // namespace app
