// The in-place editor of the grid's "Scale", "Rotation" and "Layer" cells:
// ComboScaleRotation, laid over the clicked cell with its suggestions, checks
// every change of its text and writes it straight into the cell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "inventory/frm_replace_blocks.h"

namespace setup {

// The suggestions after "* same" of the scale and rotation columns.
const std::vector<std::string>& ScaleSuggestions();
const std::vector<std::string>& RotationSuggestions();

// True when the text reads as a number as the user's locale writes it: blanks
// around, an optional sign, digits with at most one decimal separator (the
// C locale's LC_NUMERIC one), an optional exponent.
bool IsLocaleNumber(std::string_view text);

// Keeps a layer name to blanks, "-", "_", digits and the letters A-Z, a-z;
// a name made only of other characters becomes "_".
std::string CleanLayerName(std::string name);

// Wires the handlers below onto ComboScaleRotation and the window's hook that
// the grid click raises on columns 6 to 8.
void WireScaleRotationLayer(inventory::Frm_ReplaceBlocks& form);

// Lays the combo over the grid's current cell, filled with that column's
// suggestions, and gives it the focus.
void OpenScaleRotationEditor(inventory::Frm_ReplaceBlocks& form);
// The combo's text changed: corrects it for the column, then writes it.
void ComboScaleRotation_Change(inventory::Frm_ReplaceBlocks& form);
// Writes the combo's text into the grid's current cell and records that cell
// as the edited one in the current-row context.
void ComboScaleRotation_Click(inventory::Frm_ReplaceBlocks& form);
// Hides the combo; a scale or rotation left as no number becomes "* same",
// and "0." becomes "0".
void ComboScaleRotation_LostFocus(inventory::Frm_ReplaceBlocks& form);

}  // namespace setup
