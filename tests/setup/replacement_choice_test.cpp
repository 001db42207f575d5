// Choosing replacements: the grid click and its in-place list, the choice and
// clearing, the source options and the attribute status refresh.
#include <fstream>

#include "../inventory/work_window_fixture.h"

namespace workwindow_test {
namespace {

using ::testing::ElementsAre;

class ReplacementChoiceTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    MakeBlock("DOOR", {"TAG1", "TAG2"});
    MakeBlock("TREE");
    MakeBlock("NEWDOOR", {"NUMBER"});
    MakeBlock("BARE");
    Insert("DOOR", 0);
    Insert("TREE", 5);
    form.Show();
    door = GridRowOf("DOOR");
    tree = GridRowOf("TREE");
  }
  void Choose(int row, const std::string& name) {
    form.MSHBlockDefs.UserClick(row, 4);
    form.ComboReplaceWith.UserChoose(form.ComboReplaceWith.FindExact(name));
  }
  int door = 0;
  int tree = 0;
};

TEST_F(ReplacementChoiceTest, ChoosingFromTheDrawingWritesNameAndSource) {
  form.OptRepWith(0).UserClick();
  EXPECT_EQ(form.OptRepWith(0).ForeColor(), inventory::kChosenColor);
  EXPECT_EQ(form.OptRepWith(1).ForeColor(), inventory::kNotChosenColor);
  EXPECT_EQ(form.LblCurrentBlocksDir.Caption(), "Blocks in " + doc->Name());
  EXPECT_EQ(form.ComboReplaceWith.ListCount(), 2 + form.ListBlocksInDwg.ListCount());

  Choose(door, "NEWDOOR");
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(door, 4), "NEWDOOR");
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(door, 5), "In Drawing");
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(door, 3), "0 of 2");
  // The attribute status: the replacement was inserted once and deleted again.
  EXPECT_EQ(form.LabelMatchAtts.Caption(), "DOOR to NEWDOOR");
  EXPECT_TRUE(form.CmdMatchAtts.Enabled());
  EXPECT_EQ(form.currentRow.row, door);
  EXPECT_EQ(form.currentRow.tagList, "TAG1^TAG2");
  EXPECT_THAT(form.currentRow.replacementTags, ElementsAre("NUMBER"));
  EXPECT_TRUE(References("NEWDOOR").empty());
}

TEST_F(ReplacementChoiceTest, ClickShowsListOverCellAndWritesNothing) {
  form.OptRepWith(0).UserClick();
  Choose(door, "NEWDOOR");
  form.ComboReplaceWith.UserLeave();
  EXPECT_FALSE(form.ComboReplaceWith.Visible());

  form.MSHBlockDefs.UserClick(door, 4);
  const auto& grid = form.MSHBlockDefs;
  EXPECT_TRUE(form.ComboReplaceWith.Visible());
  EXPECT_EQ(form.ComboReplaceWith.Text(), "NEWDOOR");
  EXPECT_EQ(form.ComboReplaceWith.Left(), grid.Left() + grid.CellLeft() - 10);
  EXPECT_EQ(form.ComboReplaceWith.Top(), grid.Top() + grid.CellTop() - 10);
  EXPECT_EQ(form.ComboReplaceWith.Width(), 2205);
  EXPECT_EQ(grid.ColSel(), 0);

  // After switching the source the name is no candidate: entry 0, nothing written.
  form.OptRepWith(1).UserClick();
  form.MSHBlockDefs.UserClick(door, 4);
  EXPECT_EQ(form.ComboReplaceWith.ListIndex(), 0);
  EXPECT_EQ(grid.TextMatrix(door, 4), "NEWDOOR");
  EXPECT_EQ(grid.TextMatrix(door, 5), "In Drawing");

  form.MSHBlockDefs.UserScroll();
  EXPECT_FALSE(form.ComboReplaceWith.Visible());
}

TEST_F(ReplacementChoiceTest, RowHighlightFollowsTheClickedColumn) {
  form.MSHBlockDefs.UserClick(tree, 0);
  EXPECT_EQ(form.MSHBlockDefs.ColSel(), 9);
  form.MSHBlockDefs.UserClick(tree, 7);
  EXPECT_EQ(form.MSHBlockDefs.Col(), 7);
  EXPECT_EQ(form.MSHBlockDefs.ColSel(), 0);
}

TEST_F(ReplacementChoiceTest, ClearingResetsMatchCountAlsoWithoutAttributes) {
  form.OptRepWith(0).UserClick();
  Choose(tree, "BARE");
  EXPECT_EQ(form.LabelMatchAtts.Caption(), "0 Att's in TREE to Match");
  form.ComboReplaceWith.UserChoose(1);
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(tree, 3), "0 of 0");
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(tree, 4), "");
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(tree, 5), "");

  Choose(door, "NEWDOOR");
  form.MSHBlockDefs.TextMatrix(door, 3, "1 of 2");
  form.ComboReplaceWith.UserChoose(1);
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(door, 3), "0 of 2");
}

TEST_F(ReplacementChoiceTest, DirectorySourceWritesPathAsStoredAndMissingFileShowsNoAttributes) {
  const std::string dir = (folder / "blocks").string();
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/VALVE.dwg") << "not a drawing";
  std::ofstream(dir + "/PUMP.dwg") << "not a drawing";
  host::WriteRegistryValue(host::kBlocksPathValue, dir);
  form.Command1.UserClick();
  door = GridRowOf("DOOR");

  Choose(door, "VALVE");
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(door, 5), dir);
  EXPECT_EQ(form.LabelMatchAtts.Caption(), "0 Att's in Rep' Block: VALVE");
  EXPECT_FALSE(form.CmdMatchAtts.Enabled());
}

TEST_F(ReplacementChoiceTest, SingleNameSourceOffersOnlyTheFixedEntries) {
  const std::string dir = (folder / "one").string();
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/VALVE.dwg") << "x";
  host::WriteRegistryValue(host::kBlocksPathValue, dir);
  form.Command1.UserClick();
  EXPECT_EQ(form.ListBlocksInDir.ListCount(), 1);
  EXPECT_EQ(form.ComboReplaceWith.ListCount(), 2);
}

TEST_F(ReplacementChoiceTest, ReturnFromTheDirectoryChooserRefillsTheCandidates) {
  const std::string dir = (folder / "chosen").string();
  host::WriteRegistryValue(host::kBlocksPathValue, dir);
  form.ListBlocksInDir.AddItem("VALVE");
  form.ListBlocksInDir.AddItem("PUMP");
  form.returnFlags.blocksDirChosen = true;
  form.Form_Activate();
  EXPECT_FALSE(form.returnFlags.blocksDirChosen);
  EXPECT_EQ(form.scan.blocksDirectory, dir);
  EXPECT_EQ(form.LblCurrentBlocksDir.Caption(), dir);
  EXPECT_THAT(ListEntries(form.ComboReplaceWith),
              ElementsAre("* Select Replacement", "* Clear Replacement", "VALVE", "PUMP"));

  // With "From Dwg" set, the return refills from the drawing's names instead.
  form.OptRepWith(0).UserClick();
  form.returnFlags.blocksDirChosen = true;
  form.Form_Activate();
  EXPECT_EQ(form.ComboReplaceWith.ListCount(), 2 + form.ListBlocksInDwg.ListCount());
}

TEST_F(ReplacementChoiceTest, ChoicesDuringAScanAreIgnored) {
  form.OptRepWith(0).UserClick();
  form.MSHBlockDefs.UserClick(door, 4);
  form.scan.scanFinished = false;
  form.ComboReplaceWith.UserChoose(form.ComboReplaceWith.FindExact("NEWDOOR"));
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(door, 4), "");
}

TEST_F(ReplacementChoiceTest, SelectOptionsAndCheckBoxesRecolour) {
  form.OptSelect(1).UserClick();
  EXPECT_EQ(form.OptSelect(1).ForeColor(), inventory::kChosenColor);
  EXPECT_EQ(form.OptSelect(0).ForeColor(), inventory::kNotChosenColor);
  form.CkEraseBlocks.UserClick();
  EXPECT_EQ(form.CkEraseBlocks.Value(), 0);
  EXPECT_EQ(form.CkEraseBlocks.ForeColor(), inventory::kNotChosenColor);
  form.CkReachText.UserClick();
  EXPECT_EQ(form.CkReachText.ForeColor(), inventory::kChosenColor);
}

}  // namespace
}  // namespace workwindow_test
