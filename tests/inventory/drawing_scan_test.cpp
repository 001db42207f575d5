// The drawing scan: grid rows, exclusions, source lists, the empty drawing,
// a failing host and the return from the Match Attributes window.
#include <fstream>

#include "inventory/block_grid.h"
#include "work_window_fixture.h"

namespace workwindow_test {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

TEST(BlockNames, ExcludedNames) {
  struct Case {
    const char* name;
    bool excluded;
  };
  for (const Case& c : {Case{"zLemon", true}, Case{"_ArchTick", true}, Case{"Acad_Dot", true},
                        Case{"A$C0", true}, Case{"*U12", true}, Case{"XREF|DOOR", true},
                        Case{"ZBOX2", true}, Case{"zcircle", true}, Case{"ZDiamond", true},
                        Case{"ZTRIANGLE", true}, Case{"DOOR", false}, Case{"LEMON", false},
                        Case{"TREE-01", false}}) {
    EXPECT_EQ(inventory::IsExcludedBlockName(c.name), c.excluded) << c.name;
  }
}

TEST(BlockNames, MatchedTotalReadsPastTheSeparator) {
  EXPECT_EQ(inventory::MatchedTotal("0 of 5"), "5");
  EXPECT_EQ(inventory::MatchedTotal("0 of 12"), "12");
  EXPECT_EQ(inventory::MatchedTotal("7 of 1200"), "1200");
  EXPECT_EQ(inventory::MatchedTotal("N/A"), "N/A");
}

class DrawingScanTest : public WorkWindowTest {};

TEST_F(DrawingScanTest, RowsSortedWithExclusionsAndUnusedBlocks) {
  MakeBlock("TREE");
  MakeBlock("DOOR", {"TAG1", "TAG2"});
  MakeBlock("UNUSED");
  MakeBlock("PAPERONLY");
  MakeBlock("zLemon");
  MakeBlock("_ArchTick");
  MakeBlock("Acad_Dot");
  MakeBlock("A$C0");
  Insert("TREE", 10);
  for (double x : {0.0, 3.0, 6.0}) Insert("DOOR", x);
  Insert("zLemon", 20);
  doc->PaperSpace()->InsertBlock({0, 0, 0}, "PAPERONLY", 1, 1, 1, 0);

  form.Show();

  EXPECT_TRUE(form.scan.scanFinished);
  EXPECT_THAT(GridRows(), ElementsAre("DOOR|3|2|0 of 2|||* same|* same|* same|TAG1^TAG2",
                                      "TREE|1|0|N/A|||* same|* same|* same|asdf42"));
  const auto& grid = form.MSHBlockDefs;
  EXPECT_EQ(grid.FixedRows(), 1);
  EXPECT_EQ(grid.TextMatrix(0, 0), "Block Name");
  EXPECT_EQ(grid.TextMatrix(0, 8), "Layer");
  EXPECT_EQ(grid.TextMatrix(0, 9), "");
  EXPECT_EQ(grid.CellForeColorAt(0, 3), forms::Rgb::FromBgr(0xC00000));
  EXPECT_EQ(grid.ColWidth(0), 2205);
  EXPECT_EQ(grid.ColWidth(9), 0);
  EXPECT_EQ(grid.ColAlignment(4), forms::Alignment::CenterCenter);
  EXPECT_EQ(grid.FixedAlignment(8), forms::Alignment::CenterCenter);
  EXPECT_THAT(ListEntries(form.ListBlocksInDwg),
              UnorderedElementsAre("TREE", "DOOR", "UNUSED", "PAPERONLY"));
  EXPECT_EQ(ListEntries(form.ComboSort).size(), 9U);
  EXPECT_EQ(form.ComboSort.ListIndex(), 0);
  EXPECT_EQ(form.LblCurrentBlocksDir.Caption(), "Blocks Directory not set");
  EXPECT_THAT(form.scan.layerNames, ElementsAre("0"));
}

TEST_F(DrawingScanTest, OneBlockStillGetsAFixedHeader) {
  MakeBlock("TREE");
  Insert("TREE", 0);
  form.Show();
  EXPECT_EQ(form.MSHBlockDefs.Rows(), 2);
  EXPECT_EQ(form.MSHBlockDefs.FixedRows(), 1);
}

TEST_F(DrawingScanTest, EmptyDrawingShowsOneCell) {
  form.Show();
  const auto& grid = form.MSHBlockDefs;
  EXPECT_EQ(grid.Rows(), 1);
  EXPECT_EQ(grid.Cols(), 1);
  EXPECT_EQ(grid.TextMatrix(0, 0), doc->Name() + " contains zero blocks");
  EXPECT_EQ(grid.ColWidth(0), grid.Width());
  EXPECT_FALSE(form.scan.scanFinished);
  EXPECT_EQ(form.ComboReplaceWith.ListCount(), 0);

  // A block drawn later shows on the rescan.
  MakeBlock("TREE");
  Insert("TREE", 0);
  form.Command1.UserClick();
  EXPECT_THAT(GridRows(), ElementsAre("TREE|1|0|N/A|||* same|* same|* same|asdf42"));
}

TEST_F(DrawingScanTest, BlocksDirectoryListsDwgAndDxfDrawingFilesOnly) {
  const auto dir = folder / "blocks";
  std::filesystem::create_directories(dir / "sub.dwg");
  // DWG and DXF block files; a name kept as both is one block, spelt as its DWG.
  for (const char* name : {"Valve.DWG", "valve.dxf", "pump.dwg", "Hydrant.DXF", "hydrant.dxf.bak", "notes.txt", ".dwg"})
    std::ofstream(dir / name) << "x";
  host::WriteRegistryValue(host::kBlocksPathValue, "  " + dir.string() + " ");
  MakeBlock("TREE");
  Insert("TREE", 0);

  form.Show();

  EXPECT_EQ(form.scan.blocksDirectory, dir.string());
  EXPECT_THAT(ListEntries(form.ListBlocksInDir), UnorderedElementsAre("Valve", "pump", "Hydrant", ""));
  EXPECT_EQ(form.LblCurrentBlocksDir.Caption(), dir.string());
  ASSERT_EQ(form.ComboReplaceWith.ListCount(), 6);
  EXPECT_EQ(form.ComboReplaceWith.List(0), "* Select Replacement");
  EXPECT_EQ(form.ComboReplaceWith.List(1), "* Clear Replacement");
}

TEST_F(DrawingScanTest, RescanRebuildsGridAndSortList) {
  MakeBlock("TREE");
  Insert("TREE", 0);
  form.Show();
  form.MSHBlockDefs.TextMatrix(1, 4, "OAK");
  Insert("TREE", 5);
  form.Command1.UserClick();
  EXPECT_THAT(GridRows(), ElementsAre("TREE|2|0|N/A|||* same|* same|* same|asdf42"));
  EXPECT_EQ(ListEntries(form.ComboSort).size(), 9U);
  EXPECT_EQ(form.ComboSort.ListIndex(), 0);
}

TEST_F(DrawingScanTest, FailingHostIsReportedAndRescanRecovers) {
  MakeBlock("TREE");
  Insert("TREE", 0);
  form.Show();
  ASSERT_EQ(GridRows().size(), 1U);
  doc->Close();
  ui.ClearLines();

  form.Command1.UserClick();

  ASSERT_EQ(Messages().size(), 1U);
  EXPECT_NE(Messages()[0].find("The drawing could not be scanned while reading the active drawing"),
            std::string::npos);
  EXPECT_NE(Messages()[0].find("ReScan Drawing"), std::string::npos);
  EXPECT_FALSE(form.scan.scanFinished);
  EXPECT_EQ(form.MSHBlockDefs.Rows(), 1);
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(0, 0), "Block Name");

  // With a drawing open again, the rescan works.
  auto reopened = app->NewDocument();
  model = reopened->ModelSpace();
  reopened->Blocks()->Add({0, 0, 0}, "OAK");
  model->InsertBlock({0, 0, 0}, "OAK", 1, 1, 1, 0);
  form.Command1.UserClick();
  EXPECT_TRUE(form.scan.scanFinished);
  EXPECT_THAT(GridRows(), ElementsAre("OAK|1|0|N/A|||* same|* same|* same|asdf42"));
}

TEST_F(DrawingScanTest, ReturnFromMatchAttributesWritesMOfN) {
  MakeBlock("DOOR", {"A", "B", "C", "D", "E"});
  Insert("DOOR", 0);
  form.Show();
  struct Case {
    const char* before;
    long long matched;
    const char* after;
  };
  for (const Case& c : {Case{"0 of 5", 2, "2 of 5"}, Case{"0 of 12", 3, "3 of 12"},
                        Case{"0 of 1200", 999, "999 of 1200"}}) {
    form.MSHBlockDefs.TextMatrix(1, 3, c.before);
    form.currentRow.row = 1;
    form.returnFlags.matchesSaved = true;
    form.returnFlags.matchedCount = c.matched;
    form.Form_Activate();
    EXPECT_EQ(form.MSHBlockDefs.TextMatrix(1, 3), c.after);
    EXPECT_FALSE(form.returnFlags.matchesSaved);
    EXPECT_EQ(form.returnFlags.matchedCount, 0);
  }
}

}  // namespace
}  // namespace workwindow_test
