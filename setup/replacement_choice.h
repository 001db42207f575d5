// Choosing replacement blocks on the work window: the grid click with its
// in-place list, the replacement choice, the source and selection options,
// and the attribute status of the current row.
#pragma once

#include "inventory/frm_replace_blocks.h"

namespace setup {

// Entries 0 and 1 of the replacement list.
inline constexpr const char* kSelectReplacement = "* Select Replacement";
inline constexpr const char* kClearReplacement = "* Clear Replacement";

// Wires the handlers below onto the window's controls.
void WireReplacementChoice(inventory::Frm_ReplaceBlocks& form);

// A click on a cell of MSHBlockDefs (the grid's current cell is the clicked one).
void MSHBlockDefs_Click(inventory::Frm_ReplaceBlocks& form);
// The grid's visible area moved: the in-place lists are hidden.
void MSHBlockDefs_Scroll(inventory::Frm_ReplaceBlocks& form);
// An entry of ComboReplaceWith was chosen.
void ComboReplaceWith_Click(inventory::Frm_ReplaceBlocks& form);
// One of the two replacement sources was chosen: refills ComboReplaceWith.
void OptRepWith_Click(inventory::Frm_ReplaceBlocks& form, int index);
// One of the two selection scopes of the replace run was chosen.
void OptSelect_Click(inventory::Frm_ReplaceBlocks& form, int index);
// Updates LabelMatchAtts, CmdMatchAtts and the current-row context for the
// grid's current row, inserting the replacement once to read its attributes.
void RefreshMatchStatus(inventory::Frm_ReplaceBlocks& form);

// Colours an option pair: the chosen one blue, the other dark red.
void ColourOptionPair(forms::ControlArray<forms::OptionButton>& pair, int chosen);

}  // namespace setup
