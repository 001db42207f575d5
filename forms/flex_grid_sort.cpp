// Whole-row sorting of the flex grid with the classic sort codes.
#include "forms/flex_grid.h"
#include "forms/number_text.h"

#include <algorithm>
#include <numeric>

namespace forms {
namespace {

// One key cell, read once before sorting: its text, its text in lower case
// for the comparisons that ignore case, and, when the whole text is a number,
// its value.
struct KeyCell {
  const std::string* text = nullptr;
  std::string folded;
  std::optional<double> number;
};

std::string Folded(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

int Order(int compareResult) { return compareResult < 0 ? -1 : (compareResult > 0 ? 1 : 0); }

int Sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareText(const KeyCell& a, const KeyCell& b) { return Order(a.text->compare(*b.text)); }

int CompareTextNoCase(const KeyCell& a, const KeyCell& b) { return Order(a.folded.compare(b.folded)); }

// Numbers rank before texts, so that the order stays consistent in a column
// that mixes the two ("* same" among scale factors).
int CompareGeneric(const KeyCell& a, const KeyCell& b) {
  if (a.number && b.number) return Sign(*a.number, *b.number);
  if (a.number) return -1;
  if (b.number) return 1;
  return CompareTextNoCase(a, b);
}

// A cell that is not a number (a layer name, an empty cell) ranks as 0, as the
// classic grid's numeric sort reads it.
int CompareNumeric(const KeyCell& a, const KeyCell& b) {
  return Sign(a.number.value_or(0.0), b.number.value_or(0.0));
}

using Comparison = int (*)(const KeyCell&, const KeyCell&);

struct SortRule {
  Comparison compare = CompareGeneric;
  bool descending = false;
  bool readsNumbers = true;
  bool foldsCase = true;
};

SortRule RuleFor(SortCode code) {
  switch (code) {
    case SortCode::GenericAscending: return {CompareGeneric, false, true, true};
    case SortCode::GenericDescending: return {CompareGeneric, true, true, true};
    case SortCode::NumericAscending: return {CompareNumeric, false, true, false};
    case SortCode::NumericDescending: return {CompareNumeric, true, true, false};
    case SortCode::StringNoCaseAscending: return {CompareTextNoCase, false, false, true};
    case SortCode::StringNoCaseDescending: return {CompareTextNoCase, true, false, true};
    case SortCode::StringAscending: return {CompareText, false, false, false};
    case SortCode::StringDescending: return {CompareText, true, false, false};
  }
  return {};
}

}  // namespace

void FlexGrid::Sort(int code) {
  if (code < static_cast<int>(SortCode::GenericAscending) || code > static_cast<int>(SortCode::StringDescending)) {
    Fail("sort code " + std::to_string(code) + " is not supported (1 to 8)");
  }
  Sort(static_cast<SortCode>(code));
}

void FlexGrid::Sort(SortCode code) {
  if (Rows() == 0 || Cols() == 0) return;
  int first = std::min(grid_.row, grid_.rowSel);
  int last = std::max(grid_.row, grid_.rowSel);
  if (first == last) {
    first = grid_.fixedRows;
    last = Rows() - 1;
  }
  first = std::max(first, grid_.fixedRows);
  if (first >= last) return;
  const std::size_t firstKey = static_cast<std::size_t>(std::min(grid_.col, grid_.colSel));
  const std::size_t keyCount = static_cast<std::size_t>(std::max(grid_.col, grid_.colSel)) - firstKey + 1;
  const SortRule rule = RuleFor(code);

  // Read the key cells once, row by row.
  const std::size_t rowCount = static_cast<std::size_t>(last - first + 1);
  std::vector<KeyCell> keys(rowCount * keyCount);
  for (std::size_t r = 0; r < rowCount; ++r) {
    const GridRow& row = grid_.cells[static_cast<std::size_t>(first) + r];
    for (std::size_t k = 0; k < keyCount; ++k) {
      KeyCell& cell = keys[r * keyCount + k];
      cell.text = &row.texts[firstKey + k];
      if (rule.readsNumbers) cell.number = ParseNumber(*cell.text);
      if (rule.foldsCase && !cell.number) cell.folded = Folded(*cell.text);
    }
  }

  std::vector<std::size_t> order(rowCount);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    for (std::size_t k = 0; k < keyCount; ++k) {
      const int result = rule.compare(keys[a * keyCount + k], keys[b * keyCount + k]);
      if (result != 0) return rule.descending ? result > 0 : result < 0;
    }
    return false;
  });

  std::vector<GridRow> sorted;
  sorted.reserve(rowCount);
  for (std::size_t index : order) sorted.push_back(std::move(grid_.cells[static_cast<std::size_t>(first) + index]));
  std::move(sorted.begin(), sorted.end(), grid_.cells.begin() + first);
}

}  // namespace forms
