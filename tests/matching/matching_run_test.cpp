// Matching on the work window and replacing: "Match Att's" opens the window
// for the current row, the save writes m of n into the row, and the replace
// run carries the values into the new blocks as matched.
#include "match_atts_fixture.h"
#include "setup/replacement_choice.h"

namespace matching_test {
namespace {

using ::testing::ElementsAre;

class MatchingRunTest : public MatchAttsTest {
 public:
  void SetUp() override {
    MatchAttsTest::SetUp();
    MakeBlock("OLD", {"NUM", "NOTE", "SUFFIX"});
    MakeBlock("NEW", {"ID", "NOTE"});
    first = Insert("OLD", 0);
    second = Insert("OLD", 10);
    SetValues(first, {"12", "kept", "A"});
    SetValues(second, {" ", "", "A"});
    form.Show();
    row = GridRowOf("OLD");
    form.OptRepWith(0).UserClick();
    form.MSHBlockDefs.UserClick(row, 4);
    form.ComboReplaceWith.UserChoose(form.ComboReplaceWith.FindExact("NEW"));
  }
  static void SetValues(const cad::BlockReferencePtr& ref, const std::vector<std::string>& values) {
    auto attributes = ref->GetAttributes();
    for (std::size_t i = 0; i < values.size(); ++i) attributes[i]->TextString(values[i]);
  }
  static std::vector<std::string> Values(const cad::BlockReferencePtr& ref) {
    std::vector<std::string> values;
    for (const auto& attribute : ref->GetAttributes()) values.push_back(attribute->TextString());
    return values;
  }
  cad::BlockReferencePtr first;
  cad::BlockReferencePtr second;
  int row = 0;
};

TEST_F(MatchingRunTest, HandMatchedManyIntoOneArriveInTheNewBlocks) {
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(row, 3), "0 of 3");
  form.CmdMatchAtts.UserClick();
  ASSERT_TRUE(window->Loaded());
  EXPECT_EQ(window->Caption(), "Match Attributes (OLD to NEW)");
  // Automatic matching found NOTE only.
  EXPECT_THAT(AttRows(), ElementsAre("0|NUM|||", "1|NOTE|NOTE|1|1", "2|SUFFIX|||"));
  Choose(1, 2);
  Choose(3, 2);
  window->ComboAttsSeparator.UserChoose(8);  // "/"
  window->CmdSaveMatchesAndExit.UserClick();
  EXPECT_FALSE(window->Loaded());
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(row, 3), "3 of 3");

  ui.ClearLines();
  form.CmdReplace.UserClick();
  const auto made = References("NEW");
  ASSERT_EQ(made.size(), 2U) << ui.Transcript();
  std::vector<std::vector<std::string>> values{Values(made[0]), Values(made[1])};
  std::sort(values.begin(), values.end());
  // 12 and A joined by "/"; an empty first value gives A alone.
  EXPECT_THAT(values, ElementsAre(ElementsAre("12/A", "kept"), ElementsAre("A", "")));
  EXPECT_TRUE(References("OLD").empty());
}

TEST_F(MatchingRunTest, SavingNoMatchesSwitchesTheTransferOff) {
  form.CmdMatchAtts.UserClick();
  window->OptRepAtts(2).UserClick();
  window->CmdSaveMatchesAndExit.UserClick();
  EXPECT_EQ(form.MSHBlockDefs.TextMatrix(row, 3), "0 of 3");
  ui.QueueAnswer(forms::MessageAnswer::Yes);  // continue with unmatched attributes
  form.CmdReplace.UserClick();
  const auto made = References("NEW");
  ASSERT_EQ(made.size(), 2U) << ui.Transcript();
  for (const auto& ref : made) EXPECT_THAT(Values(ref), ElementsAre("", "")) << ui.Transcript();
}

}  // namespace
}  // namespace matching_test
