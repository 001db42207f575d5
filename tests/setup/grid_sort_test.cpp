// Sorting the block grid: the key and direction table, whole rows moving with
// the hidden tag list, the highlight of the first data row, and grids with
// nothing to sort.
#include <map>
#include <ostream>

#include "../inventory/work_window_fixture.h"
#include "inventory/block_grid.h"
#include "setup/grid_sort.h"

namespace workwindow_test {
namespace {

using forms::SortCode;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

enum Direction { kAsc = 0, kDesc = 1 };

// Four blocks whose cells rank differently under the generic and the numeric
// comparison: counts 9 and 10, scales mixing "* same" and numbers, layers
// that are mostly not numbers.
class GridSortTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    setup::M_GridSort() = setup::GridSortState();
    MakeBlock("valve", {"SIZE"});
    MakeBlock("Pump", {"MODEL", "FLOW"});
    MakeBlock("bench");
    MakeBlock("Door", {"TAG1", "TAG2", "TAG3"});
    for (int i = 0; i < 9; ++i) Insert("valve", i);
    for (int i = 0; i < 10; ++i) Insert("Pump", i, 5);
    Insert("bench", 0, 10);
    Insert("Door", 0, 15);
    Insert("Door", 3, 15);
    form.Show();
    //                 scale      rotation   layer
    SetChoices("valve", "* same", "90", "Valves");
    SetChoices("Pump", "2.5", "* same", "* same");
    SetChoices("bench", "10", "-90", "2");
    SetChoices("Door", "0.5", "45", "-1");
    // Distinct paths give every case a starting order of its own.
    SetPath("valve", "/blocks/b");
    SetPath("Pump", "/blocks/d");
    SetPath("bench", "/blocks/a");
    SetPath("Door", "/blocks/c");
    for (const std::string& row : GridRows()) rowsByName[row.substr(0, row.find('|'))] = row;
  }
  void SetChoices(const std::string& block, const char* scale, const char* rotation, const char* layer) {
    const int row = GridRowOf(block);
    form.MSHBlockDefs.TextMatrix(row, inventory::kColScale, scale);
    form.MSHBlockDefs.TextMatrix(row, inventory::kColRotation, rotation);
    form.MSHBlockDefs.TextMatrix(row, inventory::kColLayer, layer);
  }
  void SetPath(const std::string& block, const char* path) {
    form.MSHBlockDefs.TextMatrix(GridRowOf(block), inventory::kColPath, path);
  }
  void SortBy(const char* entry, Direction direction) {
    form.OptSort(direction).UserClick();
    form.ComboSort.UserChoose(form.ComboSort.FindExact(entry));
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int r = 1; r < form.MSHBlockDefs.Rows(); ++r) names.push_back(form.MSHBlockDefs.TextMatrix(r, 0));
    return names;
  }
  // The full rows the scan and the choices made, in the order of `names`.
  std::vector<std::string> RowsOf(const std::vector<std::string>& names) const {
    std::vector<std::string> rows;
    for (const auto& name : names) rows.push_back(rowsByName.at(name));
    return rows;
  }
  std::map<std::string, std::string> rowsByName;
};

struct SortCase {
  const char* name;
  const char* entry;
  Direction direction;
  std::vector<std::string> order;
  SortCode sortType;
  int column;
};

// How failures name a case.
void PrintTo(const SortCase& c, std::ostream* out) { *out << c.name; }

class GridSortKeys : public GridSortTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(GridSortKeys, OrdersWholeRowsAndHighlightsTheFirstRow) {
  const SortCase& c = GetParam();
  // Start by path: choosing "Asc'" re-sorts that to bench, valve, Door, Pump,
  // "Desc'" keeps Pump, Door, valve, bench; no case expects its starting order,
  // and keys that tie keep it.
  SortBy("Path", kDesc);
  SortBy(c.entry, c.direction);
  EXPECT_THAT(Names(), ElementsAreArray(c.order));
  EXPECT_THAT(GridRows(), ElementsAreArray(RowsOf(c.order)));  // every cell moved with its row
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(0, 0), "Block Name");
  EXPECT_EQ(setup::M_GridSort().sortType, c.sortType);
  const forms::FlexGrid& grid = form.MSHBlockDefs;
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(grid.RowSel(), 1);
  EXPECT_EQ(grid.Col(), c.column);
  EXPECT_EQ(grid.ColSel(), c.column == 0 ? inventory::kColTags : 0);
  EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridSortKeys,
    ::testing::Values(
        // Names as text, without regard to letter case.
        SortCase{"BlockNameAsc", "Block Name", kAsc, {"bench", "Door", "Pump", "valve"}, SortCode::GenericAscending, 0},
        SortCase{"BlockNameDesc", "Block Name", kDesc, {"valve", "Pump", "Door", "bench"}, SortCode::GenericDescending, 0},
        // Counts by value: 9 before 10.
        SortCase{"DwgCountAsc", "Dwg Count", kAsc, {"bench", "Door", "valve", "Pump"}, SortCode::NumericAscending, 1},
        SortCase{"DwgCountDesc", "Dwg Count", kDesc, {"Pump", "valve", "Door", "bench"}, SortCode::NumericDescending, 1},
        SortCase{"AttributesAsc", "Attributes", kAsc, {"bench", "valve", "Pump", "Door"}, SortCode::GenericAscending, 2},
        // "m of n" and "N/A" are texts.
        SortCase{"MatchedAsc", "Att's Matched", kAsc, {"valve", "Pump", "Door", "bench"}, SortCode::GenericAscending, 3},
        // Numbers before "* same", numbers by value.
        SortCase{"ScaleAsc", "Scale", kAsc, {"Door", "Pump", "bench", "valve"}, SortCode::GenericAscending, 6},
        SortCase{"ScaleDesc", "Scale", kDesc, {"valve", "bench", "Pump", "Door"}, SortCode::GenericDescending, 6},
        // "* same" ranks as 0 between -90 and 45.
        SortCase{"RotationAsc", "Rotation", kAsc, {"bench", "Pump", "Door", "valve"}, SortCode::NumericAscending, 7},
        // Layer names that are not numbers rank as 0 and keep their order.
        SortCase{"LayerAsc", "Layer", kAsc, {"Door", "valve", "Pump", "bench"}, SortCode::NumericAscending, 8},
        SortCase{"LayerDesc", "Layer", kDesc, {"bench", "Pump", "valve", "Door"}, SortCode::NumericDescending, 8}),
    [](const ::testing::TestParamInfo<SortCase>& info) { return std::string(info.param.name); });

TEST_F(GridSortTest, TheScanSelectingTheFirstEntrySortsByBlockName) {
  // Show() in SetUp ran the scan, whose selection of entry 0 ran the sort.
  EXPECT_EQ(setup::M_GridSort().sortType, SortCode::GenericAscending);
  EXPECT_EQ(form.ComboSort.ListIndex(), 0);
  EXPECT_THAT(Names(), ElementsAre("bench", "Door", "Pump", "valve"));
}

TEST_F(GridSortTest, ChoosingADirectionRecoloursAndResortsByTheKeyShown) {
  SortBy("Dwg Count", kAsc);
  form.OptSort(kDesc).UserClick();
  EXPECT_THAT(Names(), ElementsAre("Pump", "valve", "Door", "bench"));
  EXPECT_EQ(form.OptSort(kDesc).ForeColor(), inventory::kChosenColor);
  EXPECT_EQ(form.OptSort(kAsc).ForeColor(), inventory::kNotChosenColor);
  EXPECT_EQ(setup::M_GridSort().sortType, SortCode::NumericDescending);
  EXPECT_EQ(form.ComboSort.Text(), "Dwg Count");

  form.OptSort(kAsc).UserClick();
  EXPECT_THAT(Names(), ElementsAre("bench", "Door", "valve", "Pump"));
  EXPECT_EQ(form.OptSort(kAsc).ForeColor(), inventory::kChosenColor);
  EXPECT_EQ(form.OptSort(kDesc).ForeColor(), inventory::kNotChosenColor);
}

TEST_F(GridSortTest, WithNoDirectionChosenThePreviousSortTypeApplies) {
  SortBy("Block Name", kDesc);
  form.OptSort(kAsc).Value(false);
  form.OptSort(kDesc).Value(false);
  form.ComboSort.UserChoose(form.ComboSort.FindExact("Scale"));
  EXPECT_EQ(setup::M_GridSort().sortType, SortCode::GenericDescending);
  EXPECT_THAT(Names(), ElementsAre("valve", "bench", "Pump", "Door"));
}

class GridSortNothingToSortTest : public WorkWindowTest {};

TEST_F(GridSortNothingToSortTest, HeaderOnlyGridIsSortedWithoutHighlight) {
  MakeBlock("UNUSED");  // defined, never inserted: the grid keeps only its header
  form.Show();
  ASSERT_EQ(form.MSHBlockDefs.Rows(), 1);
  const int rowBefore = form.MSHBlockDefs.Row();
  form.OptSort(kDesc).UserClick();
  form.ComboSort.UserChoose(form.ComboSort.FindExact("Layer"));
  EXPECT_EQ(form.MSHBlockDefs.Rows(), 1);
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(0, 0), "Block Name");
  EXPECT_EQ(form.MSHBlockDefs.Row(), rowBefore);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(GridSortNothingToSortTest, SortingTheZeroBlocksCellAfterARescanChangesNothing) {
  MakeBlock("DOOR");
  Insert("DOOR", 0);
  form.Show();
  // The user switches to a drawing without blocks and rescans: the sort list
  // keeps its entries, the grid is one cell.
  host::Host().activeDocument = app->NewDocument();
  form.Command1.UserClick();
  ASSERT_EQ(form.MSHBlockDefs.Cols(), 1);
  const std::string cell = form.MSHBlockDefs.TextMatrix(0, 0);
  ASSERT_EQ(form.ComboSort.ListCount(), 9);
  form.ComboSort.UserChoose(form.ComboSort.FindExact("Rotation"));
  form.OptSort(kDesc).UserClick();
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(0, 0), cell);
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace workwindow_test
