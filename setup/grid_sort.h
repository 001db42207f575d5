// Sorting the block grid on the work window: the sort key list ComboSort and
// the direction pair OptSort.
#pragma once

#include <optional>

#include "forms/flex_grid.h"
#include "inventory/frm_replace_blocks.h"

namespace setup {

// The program-wide sort type: the sort code last applied to the block grid.
// Empty until a sort chose one; the grid is not sorted while it is empty.
struct GridSortState {
  std::optional<forms::SortCode> sortType;
};

GridSortState& M_GridSort();

// Wires ComboSort Click and OptSort Click onto the window.
void WireGridSort(inventory::Frm_ReplaceBlocks& form);

// An entry of ComboSort was chosen (also when the scan selects entry 0): sorts
// the grid's data rows by that entry's column in the chosen direction, then
// highlights the first data row.
void ComboSort_Click(inventory::Frm_ReplaceBlocks& form);

// A direction was chosen: recolours the pair and sorts again by the key shown.
void OptSort_Click(inventory::Frm_ReplaceBlocks& form, int index);

// Makes `row` the current row and `col` the current column, and extends the
// selection over the row: the whole row for the block name column, otherwise
// from column 0 to `col`.
void HighlightRow(forms::FlexGrid& grid, int row, int col);

}  // namespace setup
