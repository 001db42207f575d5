// Match records in the settings store: the stored form of a record set, the
// pair's identity without regard to case, replacing a set as a whole, damaged
// values, and what a stored separator means when values are joined.
#include "matching/match_records.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "matching/separator.h"

namespace matching {
namespace {

class MatchRecordsTest : public ::testing::Test {
 public:
  void SetUp() override {
    file = std::filesystem::path(::testing::TempDir()) /
           ("cindral_match_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".sqlite");
    std::filesystem::remove(file);
    store.emplace(file);
  }
  void TearDown() override {
    store.reset();
    std::filesystem::remove(file);
  }
  std::filesystem::path file;
  std::optional<host::SettingsStore> store;
};

// Old attributes 0 and 2 (A and C) feed replacement attribute 1 (B); old 1 feeds nothing.
MatchRecordSet TwoIntoOne(std::optional<std::string> separator) {
  return {{{0, 1, "A", "B", 1}, {2, 1, "C", "B", 2}}, std::move(separator)};
}

TEST_F(MatchRecordsTest, StoredFormHasOneValuePerMatchAndTheSeparator) {
  WriteMatchRecords(*store, "OLD", "New", TwoIntoOne("/"));
  EXPECT_EQ(store->GetAllSettings("QV_Cindral", "BlocksMatched\\OLD^New"),
            (std::vector<host::SettingValue>{{"0^1", "A^B^1"}, {"2^1", "C^B^2"}, {"Separator", "/"}}));
  WriteMatchRecords(*store, "OLD", "New", TwoIntoOne(std::nullopt));
  EXPECT_EQ(store->GetAllSettings("QV_Cindral", "BlocksMatched\\OLD^New").size(), 2U);
}

TEST_F(MatchRecordsTest, RecordWrittenUnderOneCaseIsFoundUnderAnother) {
  WriteMatchRecords(*store, "Door", "Title_B", TwoIntoOne("-"));
  EXPECT_EQ(ReadMatchRecords(*store, "DOOR", "TITLE_B"), TwoIntoOne("-"));
  EXPECT_EQ(ReadMatchRecords(*store, "door", "title_b"), TwoIntoOne("-"));
}

TEST_F(MatchRecordsTest, WritingReplacesTheWholeSetAndAnEmptySetLeavesNoSection) {
  WriteMatchRecords(*store, "OLD", "NEW", TwoIntoOne("/"));
  WriteMatchRecords(*store, "OLD", "NEW", {{{1, 0, "B", "X", 1}}, std::nullopt});
  EXPECT_EQ(ReadMatchRecords(*store, "OLD", "NEW"),
            (MatchRecordSet{{{1, 0, "B", "X", 1}}, std::nullopt}));
  // A separator without matches is never written.
  WriteMatchRecords(*store, "OLD", "NEW", {{}, std::string("/")});
  EXPECT_TRUE(store->GetAllSettings("QV_Cindral", "BlocksMatched\\OLD^NEW").empty());
  EXPECT_TRUE(ReadMatchRecords(*store, "OLD", "NEW").Empty());
}

TEST_F(MatchRecordsTest, ReaderTellsValuesApartByKeyAndPassesOverDamagedMatches) {
  const MatchRecordSet records = ParseMatchRecords({
      {"2^1", "C^B^2"},
      {"MySeparator", "+"},   // a key holding "Separator"
      {"Note", "ignored"},    // neither
      {"x^1", "A^B^1"},       // old index not a number
      {"0^-1", "A^B^1"},      // negative index
      {"0^1", "A^B"},         // no order
      {" 0 ^ 1 ", "A ^ B ^ 1"},  // blanks around the parts are trimmed
  });
  EXPECT_EQ(records.matches,
            (std::vector<AttributeMatch>{{2, 1, "C", "B", 2}, {0, 1, "A", "B", 1}}));
  EXPECT_EQ(records.separator, "+");
}

TEST(SeparatorTest, StoredSeparatorGivesTheJoinText) {
  const struct {
    const char* stored;
    const char* join;
  } cases[] = {{"'none'", ""}, {"NONE", ""}, {"'space'", " "}, {"Space", " "}, {"/", "/"},
               {"--", "--"},   {"-", "-"},   {"x", "x"},       {"nonesuch", "nonesuch"}};
  for (const auto& c : cases) EXPECT_EQ(JoinText(c.stored), c.join) << c.stored;
  EXPECT_EQ(kSeparatorChoices.size(), 24U);
  EXPECT_STREQ(kSeparatorChoices[kDefaultSeparatorEntry], "-");
}

}  // namespace
}  // namespace matching
