// The attribute transfer of the replace run: loading a record set into the
// sorted match table, joining several values with the separator, empty
// values, references with fewer or no attributes, and matches that point
// past the new block's attributes.
#include "engine/attribute_transfer.h"

#include "../inventory/work_window_fixture.h"

namespace workwindow_test {
namespace {

using ::testing::ElementsAre;

class AttributeTransferTest : public WorkWindowTest {
 public:
  void SetUp() override {
    WorkWindowTest::SetUp();
    MakeBlock("OLD", {"A", "B", "C"});
    MakeBlock("SHORT", {"A", "B"});
    MakeBlock("BARE");
    MakeBlock("NEW", {"X", "Y"});
  }
  cad::BlockReferencePtr Old(const std::string& name, const std::vector<std::string>& values) {
    auto ref = Insert(name, 0);
    auto attributes = ref->GetAttributes();
    for (std::size_t i = 0; i < values.size(); ++i) attributes[i]->TextString(values[i]);
    return ref;
  }
  // Transfers into a fresh NEW reference and returns its values.
  std::vector<std::string> Transfer(const matching::MatchRecordSet& records,
                                    const cad::BlockReferencePtr& old) {
    const engine::RowMatches matches = engine::LoadMatchTable(records, form.MSHSortAtts);
    auto made = Insert("NEW", 5);
    flag = engine::TransferAttributes(engine::ReadMatchTable(form.MSHSortAtts), matches.separator,
                                      *old, *made, counts);
    std::vector<std::string> values;
    for (const auto& attribute : made->GetAttributes()) values.push_back(attribute->TextString());
    return values;
  }
  engine::RunCounts counts;
  std::string flag;
};

// Old 0 and old 2 feed new 1, stored in reverse order; old 1 feeds nothing.
matching::MatchRecordSet ZeroAndTwoIntoOne(std::optional<std::string> separator) {
  return {{{2, 1, "C", "Y", 2}, {0, 1, "A", "Y", 1}}, std::move(separator)};
}

TEST_F(AttributeTransferTest, SeparatorRulesJoinTheValuesInOrder) {
  const struct {
    std::optional<std::string> separator;
    std::vector<std::string> oldValues;
    const char* joined;
  } cases[] = {
      {"/", {"12", "dropped", "A"}, "12/A"},
      {"/", {"  ", "dropped", "A"}, "A"},  // no leading separator
      {"/", {"12", "dropped", ""}, "12"},
      {"'space'", {"12", "", "A"}, "12 A"},
      {"SPACE", {"12", "", "A"}, "12 A"},
      {"'none'", {"12", "", "A"}, "12A"},
      {"--", {"12", "", "A"}, "12--A"},
      {std::nullopt, {"12", "", "A"}, "12A"},  // no separator stored: nothing between
  };
  for (const auto& c : cases) {
    const auto values = Transfer(ZeroAndTwoIntoOne(c.separator), Old("OLD", c.oldValues));
    EXPECT_THAT(values, ElementsAre("", c.joined)) << c.separator.value_or("(none)");
    EXPECT_EQ(flag, "");
  }
  EXPECT_EQ(counts.fewerAttributeCount, 0);
  EXPECT_EQ(counts.zeroAttributeCount, 0);
}

TEST_F(AttributeTransferTest, TableIsSortedByReplacementIndexThenOrder) {
  engine::LoadMatchTable({{{1, 1, "", "", 2}, {2, 0, "", "", 1}, {0, 1, "", "", 1}}, std::nullopt},
                         form.MSHSortAtts);
  std::vector<std::string> rows;
  for (const auto& m : engine::ReadMatchTable(form.MSHSortAtts)) {
    rows.push_back(std::to_string(m.oldIndex) + "^" + std::to_string(m.replacementIndex) + "^" +
                   std::to_string(m.order));
  }
  EXPECT_THAT(rows, ElementsAre("2^0^1", "0^1^1", "1^1^2"));
}

TEST_F(AttributeTransferTest, FewerAttributesCarryWhatFitsAndCountOnce) {
  const matching::MatchRecordSet records{
      {{0, 0, "", "", 1}, {2, 1, "", "", 1}, {3, 1, "", "", 2}}, std::nullopt};
  EXPECT_THAT(Transfer(records, Old("SHORT", {"12", "B"})), ElementsAre("12", ""));
  EXPECT_EQ(flag, engine::kFewerAttsFlag);
  EXPECT_EQ(counts.fewerAttributeCount, 1);

  EXPECT_THAT(Transfer(records, Insert("BARE", 0)), ElementsAre("", ""));
  EXPECT_EQ(flag, engine::kZeroAttsFlag);
  EXPECT_EQ(counts.zeroAttributeCount, 1);
  EXPECT_EQ(counts.fewerAttributeCount, 1);
}

TEST_F(AttributeTransferTest, MatchBeyondTheNewBlocksAttributesIsPassedOver) {
  const matching::MatchRecordSet records{{{0, 0, "", "", 1}, {1, 7, "", "", 1}}, std::nullopt};
  EXPECT_THAT(Transfer(records, Old("OLD", {"12", "B", "C"})), ElementsAre("12", ""));
  EXPECT_EQ(flag, "");
}

TEST_F(AttributeTransferTest, RowsConsultTheStoreOnlyWhenMatched) {
  const struct {
    const char* attributes;
    const char* matched;
    bool consulted;
  } cases[] = {{"3", "2 of 3", true}, {"3", "0 of 3", false}, {"0", "1 of 3", false},
               {"", "1 of 3", false}, {"3", "", false},      {"3", "x of 3", false}};
  form.MSHBlockDefs.Rows(2);
  form.MSHBlockDefs.Cols(10);
  for (const auto& c : cases) {
    form.MSHBlockDefs.TextMatrix(1, 2, c.attributes);
    form.MSHBlockDefs.TextMatrix(1, 3, c.matched);
    EXPECT_EQ(engine::RowHasMatches(form.MSHBlockDefs, 1), c.consulted)
        << c.attributes << " / " << c.matched;
  }
}

TEST_F(AttributeTransferTest, StoreThatCannotBeReadStopsTheRunBeforeTheRowIsTouched) {
  Old("OLD", {"12", "B", "C"});
  form.Show();
  const int row = GridRowOf("OLD");
  form.MSHBlockDefs.TextMatrix(row, 3, "2 of 3");
  form.MSHBlockDefs.TextMatrix(row, 4, "NEW");
  form.MSHBlockDefs.TextMatrix(row, 5, "In Drawing");
  // A folder where the store file should be: it cannot be opened.
  std::filesystem::create_directories(folder / "blocked");
  engine::ReplaceRunServices run;
  engine::SetAttributeTransferHooks(run.hooks, form, folder / "blocked");
  Wire(std::move(run));
  ui.ClearLines();
  form.CmdReplace.UserClick();
  const auto messages = Messages();
  ASSERT_FALSE(messages.empty()) << ui.Transcript();
  EXPECT_NE(messages.back().find("The attribute matches of OLD to NEW could not be read"),
            std::string::npos)
      << messages.back();
  EXPECT_EQ(References("OLD").size(), 1U);
  EXPECT_TRUE(References("NEW").empty());
}

}  // namespace
}  // namespace workwindow_test
