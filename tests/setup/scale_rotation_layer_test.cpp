// The scale, rotation and layer editor on the work window: opening over a
// cell, the corrections of every keystroke, the fix-up on leaving, layer name
// cleaning, and the replace run inserting with the values typed.
#include "setup/scale_rotation_layer.h"

#include <cmath>

#include "inventory/block_grid.h"

#include "../inventory/work_window_fixture.h"

namespace workwindow_test {
namespace {

class ScaleRotationLayerTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    doc->Layers()->Add("Elec.Power");
    MakeBlock("TREE");
    MakeBlock("OAK");
    Insert("TREE", 0);
    form.Show();
    row = GridRowOf("TREE");
    ASSERT_GT(row, 0);
  }
  forms::ComboBox& Combo() { return form.ComboScaleRotation; }
  std::string Cell(int col) const { return form.MSHBlockDefs.TextMatrix(row, col); }

  int row = 0;
};

TEST_F(ScaleRotationLayerTest, OpensOverTheCellWithTheColumnsSuggestions) {
  auto& grid = form.MSHBlockDefs;
  grid.UserClick(row, inventory::kColScale);
  EXPECT_TRUE(Combo().Visible());
  EXPECT_TRUE(Combo().HasFocus());
  EXPECT_EQ(Combo().Text(), "* same");
  EXPECT_EQ(Combo().Left(), grid.Left() + grid.CellLeft() - 10);
  EXPECT_EQ(Combo().Top(), grid.Top() + grid.CellTop() - 10);
  EXPECT_EQ(Combo().Width(), 915);
  ASSERT_EQ(Combo().ListCount(), 19);
  EXPECT_EQ(Combo().List(0), "* same");
  EXPECT_EQ(Combo().List(1), "0.5");
  EXPECT_EQ(Combo().List(18), "1000");

  Combo().UserLeave();
  EXPECT_FALSE(Combo().Visible());
  grid.UserClick(row, inventory::kColRotation);
  EXPECT_EQ(ListEntries(Combo()).back(), "315");
  EXPECT_EQ(Combo().ListCount(), 19);

  Combo().UserLeave();
  grid.UserClick(row, inventory::kColLayer);
  std::vector<std::string> expected{"* same"};
  for (long i = 0; i < doc->Layers()->Count(); ++i) {
    expected.push_back(doc->Layers()->Item(i)->Name());
  }
  EXPECT_EQ(ListEntries(Combo()), expected);
}

// Each case types `keystrokes` one after another into a fresh cell and checks
// the cell after each, then after leaving the combo.
struct TypingCase {
  const char* what;
  int column;
  std::vector<std::string> keystrokes;
  std::vector<std::string> cellAfterEach;
  std::string cellAfterLeaving;
};

TEST_F(ScaleRotationLayerTest, KeystrokesAreCorrectedAndWrittenAtOnce) {
  const std::vector<TypingCase> cases{
      {"a letter in a scale cell", 6, {"a"}, {"* same"}, "* same"},
      {"2.5 a character at a time", 6, {"2", "2.", "2.5"}, {"2", "2.", "2.5"}, "2.5"},
      {"2. is left as typed", 6, {"2", "2."}, {"2", "2."}, "2."},
      {"0. becomes 0", 7, {"0", "0."}, {"0", "0."}, "0"},
      {"a lone point", 6, {"."}, {"."}, "* same"},
      {"two points", 6, {"1", "1.", "1.2", "1.2.", "1.2.3"}, {"1", "1.", "1.2", "1.2.", "1.2.3"},
       "* same"},
      {"a negative rotation", 7, {"-", "-9", "-90"}, {"-", "-9", "-90"}, "-90"},
      {"a lone sign", 7, {"-"}, {"-"}, "* same"},
      {"an exponent", 6, {"1e2"}, {"1e2"}, "1e2"},
      {"the marker in capitals", 6, {"* SAME"}, {"* SAME"}, "* same"},
      {"the marker with blanks in a layer cell", 8, {" * same "}, {" * same "}, " * same "},
      {"a layer name with a #", 8, {"My Layer#1"}, {"My Layer1"}, "My Layer1"},
      {"a lone #", 8, {"#"}, {"_"}, "_"},
      {"a lone accented letter", 8, {"\xC3\xA9"}, {"_"}, "_"},
      {"a blank layer", 8, {"  "}, {"* same"}, "* same"},
      {"a new layer name", 8, {"NEW-1_x"}, {"NEW-1_x"}, "NEW-1_x"},
  };
  for (const TypingCase& c : cases) {
    SCOPED_TRACE(c.what);
    form.MSHBlockDefs.TextMatrix(row, c.column, "* same");
    form.MSHBlockDefs.UserClick(row, c.column);
    for (std::size_t i = 0; i < c.keystrokes.size(); ++i) {
      Combo().UserEdit(c.keystrokes[i]);
      EXPECT_EQ(Cell(c.column), c.cellAfterEach[i]) << "after " << c.keystrokes[i];
      EXPECT_EQ(Combo().Text(), c.cellAfterEach[i]);
    }
    Combo().UserLeave();
    EXPECT_EQ(Cell(c.column), c.cellAfterLeaving);
    EXPECT_EQ(form.currentRow.row, row);
    EXPECT_EQ(form.currentRow.column, c.column);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ScaleRotationLayerTest, TypingCharacterByCharacterCleansAsItGoes) {
  form.MSHBlockDefs.UserClick(row, inventory::kColLayer);
  Combo().UserType("My Layer#1");
  EXPECT_EQ(Cell(inventory::kColLayer), "My Layer1");
  form.MSHBlockDefs.UserClick(row, inventory::kColScale);
  Combo().UserType("2.5");
  Combo().UserLeave();
  EXPECT_EQ(Cell(inventory::kColScale), "2.5");
}

TEST_F(ScaleRotationLayerTest, PickedLayerIsWrittenAsListedAndCleanedOnTheNextOpening) {
  form.MSHBlockDefs.UserClick(row, inventory::kColLayer);
  const int dotted = Combo().FindExact("Elec.Power");
  ASSERT_GT(dotted, 0);
  Combo().UserChoose(dotted);
  EXPECT_EQ(Cell(inventory::kColLayer), "Elec.Power");
  Combo().UserLeave();
  EXPECT_EQ(Cell(inventory::kColLayer), "Elec.Power");

  form.MSHBlockDefs.UserClick(row, inventory::kColLayer);
  EXPECT_EQ(Cell(inventory::kColLayer), "ElecPower");
  EXPECT_EQ(Combo().Text(), "ElecPower");
  EXPECT_EQ(Combo().ListCount(), doc->Layers()->Count() + 1);
}

TEST_F(ScaleRotationLayerTest, PickedScaleEntryIsWritten) {
  form.MSHBlockDefs.UserClick(row, inventory::kColScale);
  Combo().UserChoose(Combo().FindExact("2.5"));
  EXPECT_EQ(Cell(inventory::kColScale), "2.5");
  Combo().UserChoose(0);
  EXPECT_EQ(Cell(inventory::kColScale), "* same");
}

TEST_F(ScaleRotationLayerTest, ScrollingHidesTheComboAndLeavingStillFixesTheCell) {
  form.MSHBlockDefs.UserClick(row, inventory::kColRotation);
  Combo().UserEdit("0.");
  form.MSHBlockDefs.onScroll();
  EXPECT_FALSE(Combo().Visible());
  Combo().UserLeave();
  EXPECT_EQ(Cell(inventory::kColRotation), "0");
}

TEST_F(ScaleRotationLayerTest, LeavingAfterARescanTouchesNoCell) {
  form.MSHBlockDefs.UserClick(row, inventory::kColScale);
  Combo().UserEdit("3.");
  form.MSHBlockDefs.Rows(1);  // a rescan left only the header
  Combo().UserLeave();
  EXPECT_TRUE(Messages().empty());
}

TEST(CleanLayerNameTest, KeepsOnlyTheAllowedCharacters) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"My Layer#1", "My Layer1"}, {"#", "_"},       {"\xC3\xA9", "_"}, {"##", "_"},
      {"#A", "A"},                 {"A#", "A"},      {"a.b.c", "abc"},  {"", ""},
      {"Walls-2_x Y", "Walls-2_x Y"}, {"Caf\xC3\xA9", "Caf"}, {"\t", "_"},
  };
  for (const auto& [name, clean] : cases) {
    EXPECT_EQ(setup::CleanLayerName(name), clean) << name;
  }
}

TEST(LocaleNumberTest, SignDigitsOneSeparatorAndExponent) {
  const std::vector<std::pair<std::string, bool>> cases{
      {"2", true},     {" 2.5 ", true}, {"-90", true},  {"+1", true},   {"2.", true},
      {".5", true},    {"1e3", true},   {"1.5E-2", true}, {".", false}, {"", false},
      {"-", false},    {"1.2.3", false}, {"1e", false}, {"a", false},   {"inf", false},
      {"nan", false},  {"0x10", false}, {"1,000", false}, {"2 5", false},
  };
  for (const auto& [text, numeric] : cases) {
    EXPECT_EQ(setup::IsLocaleNumber(text), numeric) << '"' << text << '"';
  }
}

TEST_F(ScaleRotationLayerTest, TheRunInsertsWithTheValuesTyped) {
  form.MSHBlockDefs.TextMatrix(row, inventory::kColReplaceWith, "OAK");
  form.MSHBlockDefs.TextMatrix(row, inventory::kColPath, "In Drawing");
  form.MSHBlockDefs.UserClick(row, inventory::kColScale);
  Combo().UserType("2.5");
  form.MSHBlockDefs.UserClick(row, inventory::kColRotation);
  Combo().UserType("-90");
  form.MSHBlockDefs.UserClick(row, inventory::kColLayer);
  Combo().UserType("New Layer#");
  Combo().UserLeave();
  form.CmdReplace.UserClick();

  auto oaks = References("OAK");
  ASSERT_EQ(oaks.size(), 1U);
  EXPECT_DOUBLE_EQ(oaks[0]->XScaleFactor(), 2.5);
  EXPECT_DOUBLE_EQ(oaks[0]->YScaleFactor(), 2.5);
  const double rotation = std::remainder(oaks[0]->Rotation(), 2 * 3.141592653589793);
  EXPECT_NEAR(rotation, -90 * 3.141592 / 180, 1e-9);
  EXPECT_EQ(oaks[0]->Layer(), "New Layer");
}

}  // namespace
}  // namespace workwindow_test
