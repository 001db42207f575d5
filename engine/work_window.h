// Wiring the work window's handlers: the editing handlers, the smaller
// commands and the replace run, all entered through the error boundary.
#pragma once

#include <functional>

#include "engine/replace_run.h"
#include "inventory/frm_replace_blocks.h"

namespace host {
class ErrorBoundary;
}

namespace engine {

struct WorkWindowServices {
  inventory::WorkWindowLinks links;
  std::function<void()> showNotes;  // the notes viewer
  ReplaceRunServices run;
};

// Links the window to the program's other windows and wires every handler of
// the window, each entered through `boundary`.
void WireReplaceBlocks(inventory::Frm_ReplaceBlocks& form, const host::ErrorBoundary& boundary,
                       WorkWindowServices services);

}  // namespace engine
