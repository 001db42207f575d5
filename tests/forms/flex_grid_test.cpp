// The flex grid: rows added from tab-separated text, Clear, the sort codes,
// selection ranges, cell geometry, scrolling and the dump; and the number
// reading the numeric comparisons rest on.
#include "forms/flex_grid.h"
#include "forms/number_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace forms {
namespace {

// A grid with a header row and one data row per entry of `rows`, each a
// tab-separated text.
void Fill(FlexGrid& grid, int cols, const std::vector<std::string>& rows) {
  grid.Rows(0);
  grid.Cols(cols);
  grid.FixedCols(0);
  std::string header = "H0";
  for (int c = 1; c < cols; ++c) header += "\tH" + std::to_string(c);
  grid.AddItem(header);
  for (const std::string& row : rows) grid.AddItem(row);
  grid.FixedRows(1);
}

std::vector<std::string> Column(const FlexGrid& grid, int col) {
  std::vector<std::string> texts;
  for (int r = 0; r < grid.Rows(); ++r) texts.push_back(grid.TextMatrix(r, col));
  return texts;
}

using Texts = std::vector<std::string>;

TEST(FlexGrid, AddItemSplitsTabsAndRefusesTextPastTheLastColumn) {
  FlexGrid grid("MSHBlockDefs");
  Fill(grid, 3, {"DOOR\t3", "TREE\t1\t0\t"});
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.TextMatrix(1, 2), "");
  EXPECT_EQ(grid.TextMatrix(2, 2), "0");
  EXPECT_THROW(grid.AddItem("a\tb\tc\td"), ControlError);
  EXPECT_THROW(grid.AddItem("a\tb\tc\t\td"), ControlError);
  EXPECT_EQ(grid.Rows(), 3);
  grid.AddItem("FIRST", 1);
  EXPECT_EQ(Column(grid, 0), (Texts{"H0", "FIRST", "DOOR", "TREE"}));
}

TEST(FlexGrid, ClearEmptiesCellsAndColoursButKeepsTheShape) {
  FlexGrid grid("G");
  Fill(grid, 2, {"a\tb"});
  grid.ColWidth(1, 1320);
  grid.Row(0);
  grid.Col(1);
  grid.CellForeColor(Rgb::FromBgr(0xC00000));
  grid.Clear();
  EXPECT_EQ(grid.Rows(), 2);
  EXPECT_EQ(grid.Cols(), 2);
  EXPECT_EQ(grid.TextMatrix(1, 0), "");
  EXPECT_EQ(grid.ColWidth(1), 1320);
  EXPECT_EQ(grid.CellForeColor(), grid.ForeColor());
}

struct SortCase {
  const char* name;
  SortCode code;
  Texts keys;      // column 0 of the data rows before sorting
  Texts expected;  // column 0 after
};

class FlexGridSort : public ::testing::TestWithParam<SortCase> {};

TEST_P(FlexGridSort, OrdersTheKeyColumn) {
  const SortCase& c = GetParam();
  FlexGrid grid("G");
  Fill(grid, 1, c.keys);
  grid.Row(1);
  grid.Col(0);
  grid.Sort(c.code);
  Texts expected{"H0"};
  expected.insert(expected.end(), c.expected.begin(), c.expected.end());
  EXPECT_EQ(Column(grid, 0), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FlexGridSort,
    ::testing::Values(
        SortCase{"GenericNumbersAsNumbers", SortCode::GenericAscending, {"10", "9", "100"}, {"9", "10", "100"}},
        SortCase{"GenericTextIgnoresCase", SortCode::GenericAscending, {"valve", "Pump", "DOOR"}, {"DOOR", "Pump", "valve"}},
        SortCase{"GenericNumbersBeforeText", SortCode::GenericAscending, {"* same", "2.5", "10", "abc"}, {"2.5", "10", "* same", "abc"}},
        SortCase{"GenericDescending", SortCode::GenericDescending, {"9", "10", "b", "A"}, {"b", "A", "10", "9"}},
        SortCase{"NumericAscending", SortCode::NumericAscending, {"10", "-2", "9.5", "1e2"}, {"-2", "9.5", "10", "1e2"}},
        SortCase{"NumericTextRanksAsZeroKeepingOrder", SortCode::NumericAscending, {"Walls", "3", "", "0"}, {"Walls", "", "0", "3"}},
        SortCase{"NumericTextBetweenNegativeAndPositive", SortCode::NumericAscending, {"2", "Pipes", "-1.5", "* same"}, {"-1.5", "Pipes", "* same", "2"}},
        SortCase{"NumericDescending", SortCode::NumericDescending, {"2", "10", "x"}, {"10", "2", "x"}},
        SortCase{"NumericDescendingEqualKeysKeepOrder", SortCode::NumericDescending, {"Heads", "-3", "0", "Lawn"}, {"Heads", "0", "Lawn", "-3"}},
        SortCase{"StringSortsDigitsAsText", SortCode::StringNoCaseAscending, {"9", "10", "b", "A"}, {"10", "9", "A", "b"}},
        SortCase{"StringNoCaseDescending", SortCode::StringNoCaseDescending, {"b", "A", "C"}, {"C", "b", "A"}},
        SortCase{"StringCaseSensitive", SortCode::StringAscending, {"b", "a", "B"}, {"B", "a", "b"}},
        SortCase{"StringCaseSensitiveDescending", SortCode::StringDescending, {"b", "a", "B"}, {"b", "a", "B"}}),
    [](const ::testing::TestParamInfo<SortCase>& info) { return std::string(info.param.name); });

TEST(FlexGrid, SortMovesWholeRowsAndLeavesFixedRowsInPlace) {
  FlexGrid grid("MSHBlockDefs");
  Fill(grid, 3, {"TREE\t1\tasdf42", "DOOR\t3\tTAG1^TAG2", "BENCH\t10\tX"});
  grid.Row(1);
  grid.Col(0);
  grid.CellBackColor(Rgb{1, 2, 3});  // colours travel with their row
  grid.Row(0);                       // current row equals selection row: all scrolled rows take part
  grid.Col(0);
  grid.ColSel(1);
  grid.Sort(1);
  EXPECT_EQ(Column(grid, 0), (Texts{"H0", "BENCH", "DOOR", "TREE"}));
  EXPECT_EQ(Column(grid, 2), (Texts{"H2", "X", "TAG1^TAG2", "asdf42"}));
  EXPECT_EQ(grid.CellBackColorAt(3, 0), (Rgb{1, 2, 3}));
  grid.Col(1);
  grid.Sort(SortCode::NumericDescending);
  EXPECT_EQ(Column(grid, 1), (Texts{"H1", "10", "3", "1"}));
  EXPECT_THROW(grid.Sort(9), ControlError);
}

TEST(FlexGrid, SortUsesLaterKeyColumnsForTiesAndOnlyTheSelectedRows) {
  FlexGrid grid("MSHAtts");
  Fill(grid, 2, {"2\t3", "1\t2", "2\t1", "1\t1", "0\t9"});
  // Rows 1 to 4 only, keyed by columns 0 then 1.
  grid.Row(1);
  grid.RowSel(4);
  grid.Col(0);
  grid.ColSel(1);
  grid.Sort(SortCode::NumericAscending);
  EXPECT_EQ(Column(grid, 0), (Texts{"H0", "1", "1", "2", "2", "0"}));
  EXPECT_EQ(Column(grid, 1), (Texts{"H1", "1", "2", "1", "3", "9"}));
}

TEST(FlexGrid, SettingRowOrColCollapsesTheSelectionAndOutOfRangeIsRefused) {
  FlexGrid grid("G");
  Fill(grid, 10, {"a", "b"});
  grid.Row(2);
  grid.Col(0);
  grid.ColSel(9);
  EXPECT_EQ(grid.ColSel(), 9);
  grid.Col(7);
  EXPECT_EQ(grid.ColSel(), 7);
  EXPECT_EQ(grid.RowSel(), 2);
  EXPECT_THROW(grid.Row(3), ControlError);
  EXPECT_THROW(grid.Col(10), ControlError);
  EXPECT_THROW((void)grid.TextMatrix(0, -1), ControlError);
  // Shrinking brings the current cell and the fixed rows along.
  grid.Rows(1);
  EXPECT_EQ(grid.Row(), 0);
  grid.Rows(0);
  EXPECT_EQ(grid.FixedRows(), 0);
  EXPECT_THROW((void)grid.Text(), ControlError);
}

TEST(FlexGrid, CellGeometryFollowsWidthsHeightsAndScrolling) {
  FlexGrid grid("MSHBlockDefs");
  Fill(grid, 4, {"a", "b", "c", "d", "e", "f"});
  grid.ColWidth(0, 2205);
  grid.ColWidth(1, 915);
  grid.ColWidth(2, 0);  // hidden column
  grid.RowHeight(2, 480);
  grid.Height(240 * 4);  // the fixed row and three rows of 240 fit
  grid.Row(3);
  grid.Col(3);
  EXPECT_EQ(grid.CellLeft(), 2205 + 915);
  EXPECT_EQ(grid.CellTop(), 240 + 240 + 480);
  EXPECT_EQ(grid.CellWidth(), kDefaultColWidth);
  EXPECT_EQ(grid.CellHeight(), kDefaultRowHeight);

  int scrolls = 0;
  grid.onScroll = [&] { ++scrolls; };
  grid.TopRow(3);
  grid.TopRow(3);
  EXPECT_EQ(scrolls, 1);
  EXPECT_EQ(grid.CellTop(), 240);
  grid.Row(1);
  EXPECT_EQ(grid.CellTop(), 240 - 480 - 240);
  grid.Row(0);
  EXPECT_EQ(grid.CellTop(), 0);
  EXPECT_THROW(grid.TopRow(0), ControlError);
}

TEST(FlexGrid, UserScrollMovesOneRowAndAlwaysRaisesScroll) {
  FlexGrid grid("G");
  Fill(grid, 1, {"a", "b", "c"});
  grid.Height(240 * 3);  // header and two data rows fit
  grid.Visible(true);
  int scrolls = 0;
  grid.onScroll = [&] { ++scrolls; };
  grid.UserScroll();
  EXPECT_EQ(grid.TopRow(), 2);
  grid.UserScroll();  // the last row is in view: nothing moves
  EXPECT_EQ(grid.TopRow(), 2);
  EXPECT_EQ(scrolls, 2);
  // Dragging the bar or turning the wheel names the row that comes to the top.
  grid.UserScrollTo(1);
  grid.UserScrollTo(1);  // the view did not move
  EXPECT_EQ(grid.TopRow(), 1);
  EXPECT_EQ(scrolls, 3);
  EXPECT_THROW(grid.UserScrollTo(4), ControlError);
  grid.Enabled(false);
  EXPECT_THROW(grid.UserScrollTo(2), ControlError);
}

TEST(FlexGrid, UserClickOnAScrolledCellMakesItCurrentAndOnAFixedCellDoesNot) {
  FlexGrid grid("G");
  Fill(grid, 3, {"a\tb\tc", "d\te\tf"});
  std::vector<std::string> clicks;
  grid.onClick = [&] { clicks.push_back(grid.Text()); };
  grid.UserClick(2, 1);
  grid.UserClick(0, 2);
  EXPECT_EQ(clicks, (Texts{"e", "e"}));
  EXPECT_EQ(grid.RowSel(), 2);
  EXPECT_EQ(grid.ColSel(), 1);
  EXPECT_THROW(grid.UserClick(3, 0), ControlError);
  grid.Enabled(false);
  EXPECT_THROW(grid.UserClick(1, 1), ControlError);
}

TEST(FlexGrid, DumpShowsTheStateLineAndEveryRowEscaped) {
  FlexGrid grid("MSHBlockDefs");
  Fill(grid, 3, {"DOOR\t3\tC:\\blocks", "TREE\t\"1\""});
  grid.Row(1);
  grid.Col(0);
  grid.ColSel(2);
  EXPECT_EQ(grid.Dump("Frm_ReplaceBlocks"),
            "grid Frm_ReplaceBlocks.MSHBlockDefs rows=3 cols=3 row=1 col=0 colsel=2 fixedrows=1\n"
            "  0\tH0\tH1\tH2\n"
            "  1\tDOOR\t3\tC:\\\\blocks\n"
            "  2\tTREE\t\\\"1\\\"\t");
}

TEST(FlexGrid, AlignmentsAndWidthsPerColumn) {
  FlexGrid grid("G");
  Fill(grid, 2, {});
  EXPECT_EQ(grid.ColWidth(1), kDefaultColWidth);
  grid.ColWidth(1, 0);
  EXPECT_EQ(grid.ColWidth(1), 0);
  grid.ColWidth(1, -1);
  EXPECT_EQ(grid.ColWidth(1), kDefaultColWidth);
  grid.ColAlignment(0, Alignment::CenterCenter);
  grid.FixedAlignment(0, Alignment::CenterCenter);
  EXPECT_EQ(grid.ColAlignment(0), Alignment::CenterCenter);
  EXPECT_EQ(grid.ColAlignment(1), Alignment::General);
  EXPECT_EQ(grid.FixedAlignment(0), Alignment::CenterCenter);
  EXPECT_THROW(grid.ColWidth(0, -5), ControlError);
}

TEST(NumberText, ReadsWholeTextsAsNumbers) {
  const std::vector<std::pair<std::string, std::optional<double>>> cases{
      {"2", 2.0},     {" -90 ", -90.0}, {"2.", 2.0},          {".5", 0.5},           {"+1e3", 1000.0},
      {"1E-2", 0.01}, {".", std::nullopt}, {"1.2.3", std::nullopt}, {"1e", std::nullopt}, {"", std::nullopt},
      {"inf", std::nullopt}, {"nan", std::nullopt}, {"12a", std::nullopt}, {"* same", std::nullopt},
      {"1e999", std::nullopt}, {"0x10", std::nullopt}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseNumber(text), expected) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace forms
