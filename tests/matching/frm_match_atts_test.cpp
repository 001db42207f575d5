// The Match Attributes window: opening with automatic or saved matches, the
// order bookkeeping of hand matching, sorting, the separator box, saving and
// its failures, and keeping the user's grid across activations.
#include "match_atts_fixture.h"

namespace matching_test {
namespace {

using ::testing::ElementsAre;
using matching::Frm_MatchAtts;

TEST_F(MatchAttsTest, OpensWithExactCaseSensitiveAutomaticMatching) {
  OpenFor("A^b^B^Q", {"X", "B"});
  EXPECT_EQ(window->Caption(), "Match Attributes (OLD to NEW)");
  EXPECT_EQ(window->FrameMatchAtts.Caption(), "Block: OLD, Replacement Block: NEW");
  EXPECT_TRUE(window->OptRepAtts(0).Value());
  EXPECT_FALSE(window->OptRepAtts(1).Enabled());
  EXPECT_EQ(window->OptRepAtts(0).ForeColor(), inventory::kChosenColor);
  EXPECT_EQ(window->OptRepAtts(2).ForeColor(), inventory::kNotChosenColor);
  EXPECT_THAT(AttRows(), ElementsAre("0|A|||", "1|b|||", "2|B|B|1|1", "3|Q|||"));
  EXPECT_EQ(window->FrameRepAtts.Caption(), "Attribute Matching");
  EXPECT_EQ(window->ComboAttsSeparator.Text(), "-");
  EXPECT_FALSE(window->ComboAttsSeparator.Enabled());
  EXPECT_EQ(window->CmdSaveMatchesAndExit.Caption(), "Save Matches && Exit");
  EXPECT_EQ(window->MSHAtts.TextMatrix(0, 1), "Block Att': ");
  EXPECT_TRUE(form.scan.scanFinished);

  // Two old attributes with one tag both get order 1 on the same attribute.
  window->Unload();
  OpenFor("B^B", {"B"});
  EXPECT_THAT(AttRows(), ElementsAre("0|B|B|0|1", "1|B|B|0|1"));
  EXPECT_FALSE(window->ComboAttsSeparator.Enabled());

  window->Unload();
  OpenFor("a^b", {"A", "B"});
  EXPECT_EQ(window->FrameRepAtts.Caption(), "Zero Att' Tags Auto Matched");
  EXPECT_THAT(AttRows(), ElementsAre("0|a|||", "1|b|||"));
}

TEST_F(MatchAttsTest, OrderBookkeepingOfHandMatching) {
  const struct Step {
    int row;
    int entry;  // 1 clears, k + 2 picks replacement attribute k
    std::vector<std::string> orders;  // column 4 of rows 1 to 4 afterwards
    bool separatorEnabled;
  } steps[] = {
      {1, 2, {"1", "", "", ""}, false},
      {3, 2, {"1", "", "2", ""}, true},  // the second member enables the separator
      {2, 2, {"1", "3", "2", ""}, true},
      {3, 1, {"1", "2", "", ""}, true},   // clearing closes the gap
      {3, 2, {"1", "2", "3", ""}, true},
      {1, 2, {"3", "1", "2", ""}, true},  // re-choosing moves the row to the end
      {2, 3, {"2", "1", "1", ""}, true},  // moving to another group closes the old one
      {4, 1, {"2", "1", "1", ""}, true},  // clearing an unmatched row does nothing
      {4, 0, {"2", "1", "1", ""}, true},  // the select entry does nothing
  };
  OpenFor("A^B^C^D", {"X", "Y"});
  window->OptRepAtts(2).UserClick();
  EXPECT_THAT(AttRows(), ElementsAre("0|A|||", "1|B|||", "2|C|||", "3|D|||"));
  int n = 0;
  for (const Step& step : steps) {
    Choose(step.row, step.entry);
    std::vector<std::string> orders;
    for (int r = 1; r <= 4; ++r) orders.push_back(window->MSHAtts.TextMatrix(r, 4));
    EXPECT_EQ(orders, step.orders) << "step " << n;
    EXPECT_EQ(window->ComboAttsSeparator.Enabled(), step.separatorEnabled) << "step " << n;
    ++n;
  }
  EXPECT_THAT(AttRows(), ElementsAre("0|A|X|0|2", "1|B|Y|1|1", "2|C|X|0|1", "3|D|||"));
}

TEST_F(MatchAttsTest, GridClickShowsTheListOverColumnTwoOnTheCellsEntry) {
  OpenFor("A^B", {"X", "B"});
  window->MSHAtts.UserClick(2, 2);
  EXPECT_TRUE(window->ComboAtts.Visible());
  EXPECT_EQ(window->ComboAtts.ListIndex(), 3);
  EXPECT_EQ(window->ComboAtts.Left(), window->MSHAtts.Left() + window->MSHAtts.CellLeft() - 10);
  EXPECT_EQ(window->ComboAtts.Top(), window->MSHAtts.Top() + window->MSHAtts.CellTop() - 10);
  EXPECT_EQ(window->ComboAtts.Width(), 2500);
  // Selecting the cell's own entry changed nothing.
  EXPECT_THAT(AttRows(), ElementsAre("0|A|||", "1|B|B|1|1"));
  EXPECT_EQ(window->MSHAtts.ColSel(), 0);

  window->MSHAtts.UserClick(1, 0);
  EXPECT_FALSE(window->ComboAtts.Visible());
  EXPECT_EQ(window->MSHAtts.ColSel(), 4);
  window->MSHAtts.UserClick(2, 2);
  window->MSHAtts.UserScroll();
  EXPECT_FALSE(window->ComboAtts.Visible());
}

TEST_F(MatchAttsTest, SortsAndSavesByOldIndexWithTheSeparator) {
  OpenFor("Z^A^M", {"X", "Y"});
  window->OptRepAtts(2).UserClick();
  Choose(3, 2);
  Choose(1, 2);
  Choose(2, 3);
  window->ComboSort.UserChoose(3);  // by replacement index, then order
  EXPECT_THAT(AttRows(), ElementsAre("2|M|X|0|1", "0|Z|X|0|2", "1|A|Y|1|1"));
  window->ComboSort.UserChoose(1);  // by old tag
  EXPECT_THAT(AttRows(), ElementsAre("1|A|Y|1|1", "2|M|X|0|1", "0|Z|X|0|2"));

  window->ComboAttsSeparator.UserErase();
  EXPECT_EQ(window->ComboAttsSeparator.Text(), "'none'");
  window->ComboAttsSeparator.UserType("--");

  window->CmdSaveMatchesAndExit.UserClick();
  EXPECT_FALSE(window->Loaded());
  EXPECT_EQ(Stored(), (std::vector<host::SettingValue>{
                          {"0^0", "Z^X^2"}, {"1^1", "A^Y^1"}, {"2^0", "M^X^1"}, {"Separator", "--"}}));

  // Reopened, the saved matches fill the grid.
  OpenFor("Z^A^M", {"X", "Y"});
  EXPECT_TRUE(window->OptRepAtts(1).Value());
  EXPECT_TRUE(window->OptRepAtts(1).Enabled());
  EXPECT_THAT(AttRows(), ElementsAre("0|Z|X|0|2", "1|A|Y|1|1", "2|M|X|0|1"));
  EXPECT_TRUE(window->ComboAttsSeparator.Enabled());
  EXPECT_EQ(window->ComboAttsSeparator.Text(), "--");

  // Saved values chosen again on a grid sorted by tag reach the rows of their old index.
  window->ComboSort.UserChoose(1);
  window->OptRepAtts(2).UserClick();
  window->OptRepAtts(1).UserClick();
  EXPECT_THAT(AttRows(), ElementsAre("1|A|Y|1|1", "2|M|X|0|1", "0|Z|X|0|2"));
}

TEST_F(MatchAttsTest, SavedValuesPassOverMatchesOutsideEitherBlock) {
  {
    host::SettingsStore store(host::SettingsStore::DefaultPath());
    store.ReplaceSection("QV_Cindral", "BlocksMatched\\old^new",
                         {{"0^1", "A^Y^1"}, {"1^2", "B^GONE^1"}, {"5^0", "F^X^1"}});
  }
  OpenFor("A^B", {"X", "Y"});
  EXPECT_TRUE(window->OptRepAtts(1).Value());
  EXPECT_THAT(AttRows(), ElementsAre("0|A|Y|1|1", "1|B|||"));
  EXPECT_FALSE(window->ComboAttsSeparator.Enabled());
  // Clearing every match and saving leaves no record set.
  window->OptRepAtts(2).UserClick();
  window->CmdSaveMatchesAndExit.UserClick();
  EXPECT_TRUE(Stored().empty());
  EXPECT_TRUE(form.returnFlags.matchesSaved);
  EXPECT_EQ(form.returnFlags.matchedCount, 0);
}

TEST_F(MatchAttsTest, SaveWithoutAnyOldTagStoresNothingAndStaysOpen) {
  OpenFor("", {"X"});
  EXPECT_THAT(AttRows(), ElementsAre("0||||"));
  window->CmdSaveMatchesAndExit.UserClick();
  EXPECT_TRUE(window->Loaded());
  EXPECT_FALSE(form.returnFlags.matchesSaved);
  EXPECT_TRUE(Stored().empty());
}

TEST_F(MatchAttsTest, ActivatingAgainKeepsTheUsersGrid) {
  OpenFor("A^B", {"X", "B"});
  Choose(1, 2);
  form.Show();
  window->Show();
  EXPECT_THAT(AttRows(), ElementsAre("0|A|X|0|1", "1|B|B|1|1"));
}

TEST_F(MatchAttsTest, StoreThatCannotBeOpenedIsReportedAndTheMatchesKept) {
  // A folder where the store file should be: it can be neither read nor written.
  const auto blocked = folder / "blocked";
  std::filesystem::create_directories(blocked);
  Frm_MatchAtts broken(ui, form, blocked);
  matching::WireMatchAtts(broken, boundary);
  form.currentRow.blockName = "OLD";
  form.currentRow.replacementName = "NEW";
  form.currentRow.tagList = "A^B";
  form.currentRow.replacementTags = {"A"};
  ui.ClearLines();
  broken.Show();
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_NE(Messages()[0].find("could not be read"), std::string::npos);
  EXPECT_TRUE(broken.OptRepAtts(0).Value());

  ui.ClearLines();
  broken.CmdSaveMatchesAndExit.UserClick();
  ASSERT_EQ(Messages().size(), 1U) << ui.Transcript();
  EXPECT_NE(Messages()[0].find("title=\"Cindral\""), std::string::npos);
  EXPECT_NE(Messages()[0].find("could not be saved"), std::string::npos);
  EXPECT_TRUE(broken.Loaded());
  EXPECT_FALSE(form.returnFlags.matchesSaved);
  EXPECT_EQ(broken.MSHAtts.TextMatrix(1, 2), "A");
}

}  // namespace
}  // namespace matching_test
