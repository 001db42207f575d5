// The work window's smaller commands: the option check boxes, "ReScan Drawing"
// and "Notes".
#pragma once

#include <functional>

#include "inventory/frm_replace_blocks.h"

namespace setup {

// Colours a check box by its value: ticked blue, clear dark red.
void ColourCheckBox(forms::CheckBox& box);

// Wires the check boxes, the rescan command and, when `showNotes` is given,
// the notes command.
void WireWindowCommands(inventory::Frm_ReplaceBlocks& form, std::function<void()> showNotes);

}  // namespace setup
