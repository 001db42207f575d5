// The flex grid model: a table of text cells with a current cell, a selection
// extent, fixed rows and columns, column widths and alignments, cell colours,
// whole-row sorting and cell geometry in twips for in-place editors.
#pragma once

#include "forms/control.h"

#include <optional>
#include <string>
#include <vector>

namespace forms {

// Cell alignment codes of the classic flex grid.
enum class Alignment : int {
  LeftTop = 0,
  LeftCenter = 1,
  LeftBottom = 2,
  CenterTop = 3,
  CenterCenter = 4,
  CenterBottom = 5,
  RightTop = 6,
  RightCenter = 7,
  RightBottom = 8,
  General = 9,  // text left, numbers right
};

// Sort codes of the classic flex grid.
enum class SortCode : int {
  GenericAscending = 1,  // numbers as numbers when both cells are numbers, else as text
  GenericDescending = 2,
  NumericAscending = 3,  // cells as numbers; a cell that is not a number ranks as 0
  NumericDescending = 4,
  StringNoCaseAscending = 5,
  StringNoCaseDescending = 6,
  StringAscending = 7,  // case-sensitive
  StringDescending = 8,
};

inline constexpr int kDefaultColWidth = 960;   // twips
inline constexpr int kDefaultRowHeight = 240;  // twips

// What one flex grid owns: its cells (row by row, every cell text), the
// current cell (Row, Col), the selection end (RowSel, ColSel), the first
// scrolled row shown (TopRow), fixed rows and columns, per-column width and
// alignment, per-row height and per-cell colours. Setting Row or Col also
// moves RowSel or ColSel to it, so a selection is made by setting Row/Col
// first and RowSel/ColSel after. Cells change only through the members; no
// cell write raises an event.
class FlexGrid : public Control {
 public:
  explicit FlexGrid(std::string name, int index = -1);

  std::string Kind() const override { return "grid"; }
  bool CanTakeFocus() const override { return true; }

  // Size. Growing adds empty rows or columns; shrinking drops them (and lowers
  // FixedRows/FixedCols, Row/Col and the selection to fit).
  int Rows() const { return static_cast<int>(grid_.cells.size()); }
  void Rows(int rows);
  int Cols() const { return grid_.cols; }
  void Cols(int cols);
  int FixedRows() const { return grid_.fixedRows; }
  void FixedRows(int rows);
  int FixedCols() const { return grid_.fixedCols; }
  void FixedCols(int cols);

  // Current cell and selection end.
  int Row() const { return grid_.row; }
  void Row(int row);
  int Col() const { return grid_.col; }
  void Col(int col);
  int RowSel() const { return grid_.rowSel; }
  void RowSel(int row);
  int ColSel() const { return grid_.colSel; }
  void ColSel(int col);

  // Cells.
  const std::string& TextMatrix(int row, int col) const;
  void TextMatrix(int row, int col, std::string text);
  // The current cell's text.
  const std::string& Text() const { return TextMatrix(grid_.row, grid_.col); }
  void Text(std::string text) { TextMatrix(grid_.row, grid_.col, std::move(text)); }
  // Appends a row (or inserts it before `row`) whose cells are the
  // tab-separated fields of `text`; missing fields are empty. A text in a
  // field past the last column is refused rather than cut off.
  void AddItem(const std::string& text);
  void AddItem(const std::string& text, int row);
  // Empties every cell and its colours; keeps the size, widths and alignments.
  void Clear();
  // Sorts whole rows: the rows from Row to RowSel (every scrolled row when the
  // two are equal), keyed by the columns Col to ColSel, left to right. Fixed
  // rows never move; rows with equal keys keep their order.
  void Sort(SortCode code);
  // The classic numeric form of Sort (1 to 8); other codes are refused.
  void Sort(int code);

  // Columns and rows.
  int ColWidth(int col) const;
  // A width in twips; -1 restores the default width.
  void ColWidth(int col, int twips);
  int RowHeight(int row) const;
  void RowHeight(int row, int twips);
  Alignment ColAlignment(int col) const;
  void ColAlignment(int col, Alignment alignment);
  // Alignment of the column's cells in the fixed rows.
  Alignment FixedAlignment(int col) const;
  void FixedAlignment(int col, Alignment alignment);

  // Colours of the current cell (the grid's own colours until set).
  Rgb CellForeColor() const;
  void CellForeColor(Rgb color);
  Rgb CellBackColor() const;
  void CellBackColor(Rgb color);
  // Colours of any cell, for skins.
  Rgb CellForeColorAt(int row, int col) const;
  Rgb CellBackColorAt(int row, int col) const;

  // Scrolling: the first scrolled row shown below the fixed rows. Setting a
  // different row raises Scroll.
  int TopRow() const { return grid_.topRow; }
  void TopRow(int row);
  // Rows that fit below the fixed rows in the grid's height (at least 1).
  int VisibleScrolledRows() const;

  // Geometry of the current cell in twips, relative to the grid's top-left
  // corner, from column widths and row heights, with the rows above TopRow
  // scrolled out of view (a cell scrolled above the view has a top above the
  // fixed rows). Columns do not scroll sideways.
  int CellLeft() const;
  int CellTop() const;
  int CellWidth() const { return ColWidth(grid_.col); }
  int CellHeight() const { return RowHeight(grid_.row); }

  // The user clicks a cell: a scrolled cell becomes the current cell (with
  // the selection collapsed on it), then Click runs. A click on a fixed cell
  // runs Click and leaves the current cell where it was.
  void UserClick(int row, int col);
  void UserClick() override;
  // The user scrolls down by one row; Scroll runs even when the last row was
  // already in view and nothing moved.
  void UserScroll();
  // The user drags the scroll bar or turns the wheel until `row` is the first
  // scrolled row shown; Scroll runs when the view moved.
  void UserScrollTo(int row);

  // `grid FORM.CONTROL rows=R cols=C row=r col=c colsel=s fixedrows=f`, then
  // one line per row: two blanks, the row number, a tab, the cells joined by
  // tabs.
  std::string Dump(const std::string& formName) const override;

  std::function<void()> onScroll;

 protected:
  void SaveDesignState() override;
  void RestoreDesignState() override;

 private:
  struct Column {
    int width = -1;  // twips; -1 for the default
    Alignment alignment = Alignment::General;
    Alignment fixedAlignment = Alignment::LeftCenter;
  };
  struct CellColors {
    std::optional<Rgb> fore;
    std::optional<Rgb> back;
  };
  struct GridRow {
    std::vector<std::string> texts;
    std::vector<CellColors> colors;  // empty until a colour is set in the row
    int height = -1;                 // twips; -1 for the default
  };
  struct State {
    std::vector<GridRow> cells;
    std::vector<Column> columns;
    int cols = 2;
    int fixedRows = 1;
    int fixedCols = 1;
    int row = 1;
    int col = 1;
    int rowSel = 1;
    int colSel = 1;
    int topRow = 1;
  };

  GridRow EmptyRow() const;
  void CheckRow(int row, const char* what) const;
  void CheckCol(int col, const char* what) const;
  void ClampPositions();
  CellColors& ColorsAt(int row, int col);

  State grid_;
  State design_;
};

}  // namespace forms
