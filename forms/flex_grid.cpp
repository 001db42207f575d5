#include "forms/flex_grid.h"

#include "forms/text_format.h"

#include <algorithm>
#include <numeric>

namespace forms {

FlexGrid::FlexGrid(std::string name, int index) : Control(std::move(name), index) {
  BackColor(kWhite);
  Width(4800);
  Height(2400);
  grid_.columns.resize(static_cast<std::size_t>(grid_.cols));
  grid_.cells.assign(2, EmptyRow());
}

FlexGrid::GridRow FlexGrid::EmptyRow() const {
  GridRow row;
  row.texts.resize(static_cast<std::size_t>(grid_.cols));
  return row;
}

void FlexGrid::CheckRow(int row, const char* what) const {
  if (row < 0 || row >= Rows()) {
    Fail(std::string(what) + " " + std::to_string(row) + " is out of range (rows=" + std::to_string(Rows()) + ")");
  }
}

void FlexGrid::CheckCol(int col, const char* what) const {
  if (col < 0 || col >= Cols()) {
    Fail(std::string(what) + " " + std::to_string(col) + " is out of range (cols=" + std::to_string(Cols()) + ")");
  }
}

void FlexGrid::ClampPositions() {
  const int lastRow = std::max(0, Rows() - 1);
  const int lastCol = std::max(0, Cols() - 1);
  grid_.fixedRows = std::min(grid_.fixedRows, Rows());
  grid_.fixedCols = std::min(grid_.fixedCols, Cols());
  grid_.row = std::min(grid_.row, lastRow);
  grid_.rowSel = std::min(grid_.rowSel, lastRow);
  grid_.col = std::min(grid_.col, lastCol);
  grid_.colSel = std::min(grid_.colSel, lastCol);
  grid_.topRow = std::clamp(grid_.topRow, grid_.fixedRows, std::max(grid_.fixedRows, lastRow));
}

// ---- size ----

void FlexGrid::Rows(int rows) {
  if (rows < 0) Fail("cannot have " + std::to_string(rows) + " rows");
  grid_.cells.resize(static_cast<std::size_t>(rows), EmptyRow());
  ClampPositions();
}

void FlexGrid::Cols(int cols) {
  if (cols < 0) Fail("cannot have " + std::to_string(cols) + " columns");
  grid_.cols = cols;
  grid_.columns.resize(static_cast<std::size_t>(cols));
  for (GridRow& row : grid_.cells) {
    row.texts.resize(static_cast<std::size_t>(cols));
    if (!row.colors.empty()) row.colors.resize(static_cast<std::size_t>(cols));
  }
  ClampPositions();
}

void FlexGrid::FixedRows(int rows) {
  if (rows < 0 || rows > Rows()) {
    Fail("cannot have " + std::to_string(rows) + " fixed rows (rows=" + std::to_string(Rows()) + ")");
  }
  grid_.fixedRows = rows;
  ClampPositions();
}

void FlexGrid::FixedCols(int cols) {
  if (cols < 0 || cols > Cols()) {
    Fail("cannot have " + std::to_string(cols) + " fixed columns (cols=" + std::to_string(Cols()) + ")");
  }
  grid_.fixedCols = cols;
  ClampPositions();
}

// ---- current cell and selection ----

void FlexGrid::Row(int row) {
  CheckRow(row, "row");
  grid_.row = row;
  grid_.rowSel = row;
}

void FlexGrid::Col(int col) {
  CheckCol(col, "column");
  grid_.col = col;
  grid_.colSel = col;
}

void FlexGrid::RowSel(int row) {
  CheckRow(row, "selection row");
  grid_.rowSel = row;
}

void FlexGrid::ColSel(int col) {
  CheckCol(col, "selection column");
  grid_.colSel = col;
}

// ---- cells ----

const std::string& FlexGrid::TextMatrix(int row, int col) const {
  CheckRow(row, "row");
  CheckCol(col, "column");
  return grid_.cells[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(col)];
}

void FlexGrid::TextMatrix(int row, int col, std::string text) {
  CheckRow(row, "row");
  CheckCol(col, "column");
  grid_.cells[static_cast<std::size_t>(row)].texts[static_cast<std::size_t>(col)] = std::move(text);
}

void FlexGrid::AddItem(const std::string& text) { AddItem(text, Rows()); }

void FlexGrid::AddItem(const std::string& text, int row) {
  if (row < 0 || row > Rows()) {
    Fail("cannot add a row at " + std::to_string(row) + " (rows=" + std::to_string(Rows()) + ")");
  }
  GridRow added = EmptyRow();
  std::size_t field = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = text.find('\t', start);
    std::string cell = text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    if (field < added.texts.size()) {
      added.texts[field] = std::move(cell);
    } else if (!cell.empty()) {
      // Empty fields past the last column (a trailing tab) lose nothing; a
      // text there would be cut off, so the row is refused instead.
      Fail("cannot add a row of more than " + std::to_string(Cols()) + " cells: \"" + EscapeText(text) + "\"");
    }
    ++field;
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  grid_.cells.insert(grid_.cells.begin() + row, std::move(added));
  ClampPositions();
}

void FlexGrid::Clear() {
  for (GridRow& row : grid_.cells) {
    for (std::string& text : row.texts) text.clear();
    row.colors.clear();
  }
}

// ---- columns and rows ----

int FlexGrid::ColWidth(int col) const {
  CheckCol(col, "column");
  const int width = grid_.columns[static_cast<std::size_t>(col)].width;
  return width < 0 ? kDefaultColWidth : width;
}

void FlexGrid::ColWidth(int col, int twips) {
  CheckCol(col, "column");
  if (twips < -1) Fail("column width " + std::to_string(twips) + " is not valid");
  grid_.columns[static_cast<std::size_t>(col)].width = twips;
}

int FlexGrid::RowHeight(int row) const {
  CheckRow(row, "row");
  const int height = grid_.cells[static_cast<std::size_t>(row)].height;
  return height < 0 ? kDefaultRowHeight : height;
}

void FlexGrid::RowHeight(int row, int twips) {
  CheckRow(row, "row");
  if (twips < -1) Fail("row height " + std::to_string(twips) + " is not valid");
  grid_.cells[static_cast<std::size_t>(row)].height = twips;
}

Alignment FlexGrid::ColAlignment(int col) const {
  CheckCol(col, "column");
  return grid_.columns[static_cast<std::size_t>(col)].alignment;
}

void FlexGrid::ColAlignment(int col, Alignment alignment) {
  CheckCol(col, "column");
  grid_.columns[static_cast<std::size_t>(col)].alignment = alignment;
}

Alignment FlexGrid::FixedAlignment(int col) const {
  CheckCol(col, "column");
  return grid_.columns[static_cast<std::size_t>(col)].fixedAlignment;
}

void FlexGrid::FixedAlignment(int col, Alignment alignment) {
  CheckCol(col, "column");
  grid_.columns[static_cast<std::size_t>(col)].fixedAlignment = alignment;
}

// ---- colours ----

FlexGrid::CellColors& FlexGrid::ColorsAt(int row, int col) {
  CheckRow(row, "row");
  CheckCol(col, "column");
  GridRow& cells = grid_.cells[static_cast<std::size_t>(row)];
  if (cells.colors.empty()) cells.colors.resize(static_cast<std::size_t>(Cols()));
  return cells.colors[static_cast<std::size_t>(col)];
}

Rgb FlexGrid::CellForeColorAt(int row, int col) const {
  CheckRow(row, "row");
  CheckCol(col, "column");
  const GridRow& cells = grid_.cells[static_cast<std::size_t>(row)];
  if (cells.colors.empty()) return ForeColor();
  return cells.colors[static_cast<std::size_t>(col)].fore.value_or(ForeColor());
}

Rgb FlexGrid::CellBackColorAt(int row, int col) const {
  CheckRow(row, "row");
  CheckCol(col, "column");
  const GridRow& cells = grid_.cells[static_cast<std::size_t>(row)];
  if (cells.colors.empty()) return BackColor();
  return cells.colors[static_cast<std::size_t>(col)].back.value_or(BackColor());
}

Rgb FlexGrid::CellForeColor() const { return CellForeColorAt(grid_.row, grid_.col); }
void FlexGrid::CellForeColor(Rgb color) { ColorsAt(grid_.row, grid_.col).fore = color; }
Rgb FlexGrid::CellBackColor() const { return CellBackColorAt(grid_.row, grid_.col); }
void FlexGrid::CellBackColor(Rgb color) { ColorsAt(grid_.row, grid_.col).back = color; }

// ---- scrolling and geometry ----

void FlexGrid::TopRow(int row) {
  if (row < grid_.fixedRows || row >= Rows()) {
    Fail("cannot scroll to row " + std::to_string(row) + " (fixed rows=" + std::to_string(grid_.fixedRows) +
         ", rows=" + std::to_string(Rows()) + ")");
  }
  if (row == grid_.topRow) return;
  grid_.topRow = row;
  RaiseEvent(onScroll);
}

int FlexGrid::VisibleScrolledRows() const {
  int available = Height();
  for (int r = 0; r < grid_.fixedRows; ++r) available -= RowHeight(r);
  int count = 0;
  for (int r = grid_.topRow; r < Rows(); ++r) {
    available -= RowHeight(r);
    if (available < 0) break;
    ++count;
  }
  return std::max(1, count);
}

int FlexGrid::CellLeft() const {
  CheckCol(grid_.col, "column");
  int left = 0;
  for (int c = 0; c < grid_.col; ++c) left += ColWidth(c);
  return left;
}

int FlexGrid::CellTop() const {
  CheckRow(grid_.row, "row");
  const int row = grid_.row;
  int top = 0;
  if (row < grid_.fixedRows) {
    for (int r = 0; r < row; ++r) top += RowHeight(r);
    return top;
  }
  for (int r = 0; r < grid_.fixedRows; ++r) top += RowHeight(r);
  if (row >= grid_.topRow) {
    for (int r = grid_.topRow; r < row; ++r) top += RowHeight(r);
  } else {
    for (int r = row; r < grid_.topRow; ++r) top -= RowHeight(r);
  }
  return top;
}

// ---- gestures ----

void FlexGrid::UserClick(int row, int col) {
  CheckRow(row, "row");
  CheckCol(col, "column");
  BeginUserGesture();
  if (row >= grid_.fixedRows && col >= grid_.fixedCols) {
    Row(row);
    Col(col);
  }
  RaiseEvent(onClick);
}

void FlexGrid::UserClick() { Fail("takes clicks on a cell (row and column)"); }

void FlexGrid::UserScroll() {
  BeginUserGesture();
  const bool lastRowShown = grid_.topRow + VisibleScrolledRows() >= Rows();
  if (lastRowShown) {
    RaiseEvent(onScroll);
  } else {
    TopRow(grid_.topRow + 1);
  }
}

void FlexGrid::UserScrollTo(int row) {
  BeginUserGesture();
  if (row == grid_.topRow) return;
  TopRow(row);
}

// ---- dump and design state ----

std::string FlexGrid::Dump(const std::string& formName) const {
  std::string out = "grid " + formName + "." + QualifiedName() + " rows=" + std::to_string(Rows()) +
                    " cols=" + std::to_string(Cols()) + " row=" + std::to_string(grid_.row) +
                    " col=" + std::to_string(grid_.col) + " colsel=" + std::to_string(grid_.colSel) +
                    " fixedrows=" + std::to_string(grid_.fixedRows);
  for (int r = 0; r < Rows(); ++r) {
    out += "\n  " + std::to_string(r) + "\t";
    const auto& texts = grid_.cells[static_cast<std::size_t>(r)].texts;
    for (std::size_t c = 0; c < texts.size(); ++c) {
      if (c > 0) out += "\t";
      out += EscapeText(texts[c]);
    }
  }
  return out;
}

void FlexGrid::SaveDesignState() {
  Control::SaveDesignState();
  design_ = grid_;
}

void FlexGrid::RestoreDesignState() {
  Control::RestoreDesignState();
  grid_ = design_;
}

}  // namespace forms
