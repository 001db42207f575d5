#include "host/tag_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::ElementsAreArray;

struct SplitCase {
  const char* label;
  std::string tagList;
  std::vector<std::string> tags;
  friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.label; }
};

class SplitTagListTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTagListTest, GivesTheTrimmedTagsInOrder) {
  EXPECT_THAT(host::SplitTagList(GetParam().tagList), ElementsAreArray(GetParam().tags));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTagListTest,
    ::testing::Values(
        SplitCase{"ThreeTags", "TAG1^TAG2^TAG3", {"TAG1", "TAG2", "TAG3"}},
        SplitCase{"BlanksAroundTagsAndCarets", " A ^ B ", {"A", "B"}},
        SplitCase{"TrailingCaret", "TAG1^", {"TAG1"}},
        SplitCase{"LeadingCaret", "^TAG2", {"", "TAG2"}},
        SplitCase{"Sentinel", "asdf42", {"asdf42"}},
        SplitCase{"Empty", "", {""}},
        SplitCase{"CaretAlone", "^", {""}},
        SplitCase{"EmptyMiddle", "A^^B", {"A", "", "B"}},
        SplitCase{"BlankAfterLastCaret", "A^ ", {"A", ""}},
        SplitCase{"TabsAreKept", "\tA\t^B", {"\tA\t", "B"}},
        SplitCase{"InnerBlanksKept", "PART NO^ITEM  2", {"PART NO", "ITEM  2"}},
        SplitCase{"MatchKey", "0^12", {"0", "12"}},
        SplitCase{"MatchData", "DESC^TITLE^1", {"DESC", "TITLE", "1"}},
        SplitCase{"NonAscii", "Größe^Ø", {"Größe", "Ø"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SharedTagList, EachSplitRefillsTheArray) {
  host::SharedTagList shared;
  EXPECT_THAT(shared.tags, ElementsAreArray({""}));
  shared.tagListText = "A^B^C";
  host::SplitTagList(shared);
  EXPECT_THAT(shared.tags, ElementsAreArray({"A", "B", "C"}));
  shared.tagListText = "D";
  host::SplitTagList(shared);
  EXPECT_THAT(shared.tags, ElementsAreArray({"D"}));
}

}  // namespace
