#include "setup/grid_sort.h"

#include <array>

#include "inventory/block_grid.h"
#include "setup/replacement_choice.h"

namespace setup {
namespace {

using forms::SortCode;
using inventory::Frm_ReplaceBlocks;

// What ComboSort entry i sorts by: grid column i, with the generic comparison
// for names and mixed texts, the numeric one for counts, rotations and layers.
struct SortKey {
  int column = 0;
  SortCode ascending = SortCode::GenericAscending;
  SortCode descending = SortCode::GenericDescending;
};

constexpr SortKey Generic(int column) { return {column, SortCode::GenericAscending, SortCode::GenericDescending}; }
constexpr SortKey Numeric(int column) { return {column, SortCode::NumericAscending, SortCode::NumericDescending}; }

constexpr std::array<SortKey, inventory::kSortEntries.size()> kSortKeys{
    Generic(inventory::kColBlockName), Numeric(inventory::kColCount),   Generic(inventory::kColAttributes),
    Generic(inventory::kColMatched),   Generic(inventory::kColReplaceWith), Generic(inventory::kColPath),
    Generic(inventory::kColScale),     Numeric(inventory::kColRotation), Numeric(inventory::kColLayer)};

constexpr int kAscending = 0;
constexpr int kDescending = 1;

}  // namespace

GridSortState& M_GridSort() {
  static GridSortState state;
  return state;
}

void WireGridSort(Frm_ReplaceBlocks& form) {
  form.ComboSort.onClick = [&form] { ComboSort_Click(form); };
  for (int i = 0; i < form.OptSort.Count(); ++i) {
    form.OptSort(i).onClick = [&form, i] { OptSort_Click(form, i); };
  }
}

void HighlightRow(forms::FlexGrid& grid, int row, int col) {
  grid.Row(row);
  grid.Col(col);
  grid.ColSel(col == inventory::kColBlockName ? grid.Cols() - 1 : 0);
}

void ComboSort_Click(Frm_ReplaceBlocks& form) {
  const int entry = form.ComboSort.ListIndex();
  if (entry < 0 || entry >= static_cast<int>(kSortKeys.size())) return;
  const SortKey& key = kSortKeys[static_cast<std::size_t>(entry)];
  std::optional<SortCode>& sortType = M_GridSort().sortType;
  if (form.OptSort(kAscending).Value()) {
    sortType = key.ascending;
  } else if (form.OptSort(kDescending).Value()) {
    sortType = key.descending;
  }

  // The grid of a drawing without blocks has a single cell: nothing to sort.
  forms::FlexGrid& grid = form.MSHBlockDefs;
  if (grid.Rows() == 0 || key.column >= grid.Cols()) return;
  grid.Col(key.column);
  // A collapsed row selection makes every data row take part; rows move whole,
  // the hidden tag list with them, and the header stays.
  grid.RowSel(grid.Row());
  if (sortType) grid.Sort(*sortType);
  if (grid.Rows() >= 2) HighlightRow(grid, 1, key.column);
}

void OptSort_Click(Frm_ReplaceBlocks& form, int index) {
  ColourOptionPair(form.OptSort, index);
  ComboSort_Click(form);
}

}  // namespace setup
