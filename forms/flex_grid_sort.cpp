// Whole-row sorting of the flex grid with the classic sort codes.
#include "forms/flex_grid.h"
#include "forms/number_text.h"

#include <algorithm>
#include <cctype>

namespace forms {
namespace {

int Sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareText(const std::string& a, const std::string& b) { return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1); }

int CompareTextNoCase(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return Sign(static_cast<double>(a.size()), static_cast<double>(b.size()));
}

// Numbers rank before texts, so that the ordering stays consistent in a
// column that mixes the two ("* same" among scale factors).
int CompareGeneric(const std::string& a, const std::string& b) {
  const auto na = ParseNumber(a);
  const auto nb = ParseNumber(b);
  if (na && nb) return Sign(*na, *nb);
  if (na) return -1;
  if (nb) return 1;
  return CompareTextNoCase(a, b);
}

// A cell that is not a number ranks after every number; two such cells are equal.
int CompareNumeric(const std::string& a, const std::string& b) {
  const auto na = ParseNumber(a);
  const auto nb = ParseNumber(b);
  if (na && nb) return Sign(*na, *nb);
  if (na) return -1;
  if (nb) return 1;
  return 0;
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
  const std::size_t lastKey = static_cast<std::size_t>(std::max(grid_.col, grid_.colSel));

  int (*compare)(const std::string&, const std::string&) = CompareGeneric;
  bool descending = false;
  switch (code) {
    case SortCode::GenericAscending: break;
    case SortCode::GenericDescending: descending = true; break;
    case SortCode::NumericAscending: compare = CompareNumeric; break;
    case SortCode::NumericDescending: compare = CompareNumeric; descending = true; break;
    case SortCode::StringNoCaseAscending: compare = CompareTextNoCase; break;
    case SortCode::StringNoCaseDescending: compare = CompareTextNoCase; descending = true; break;
    case SortCode::StringAscending: compare = CompareText; break;
    case SortCode::StringDescending: compare = CompareText; descending = true; break;
  }

  auto begin = grid_.cells.begin() + first;
  auto end = grid_.cells.begin() + last + 1;
  std::stable_sort(begin, end, [&](const GridRow& a, const GridRow& b) {
    for (std::size_t key = firstKey; key <= lastKey; ++key) {
      const int order = compare(a.texts[key], b.texts[key]);
      if (order != 0) return descending ? order > 0 : order < 0;
    }
    return false;
  });
}

}  // namespace forms
