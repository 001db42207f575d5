#include "engine/run_summary.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

const std::string kExplanation =
    "Blocks having zero or less then expected attributes are due to a discrepancy \r"
    "between the Block reference as found in the drawing, and the Block definition\r\r"
    "The Blocks have been Replaced\r\r"
    "The affected (Replacement) Blocks have been flagged with Text\r"
    "Flag Text's insertion point is the same as the Block(s)\r"
    "Flag Text is on the __Flags__ layer\r"
    "Flag Text is color 21";

TEST(RunSummary, CleanRunShowsNothing) { EXPECT_EQ(BuildRunSummary({}), ""); }

TEST(RunSummary, PartsInOrderWithOneExplanation) {
  RunCounts counts;
  counts.zeroAttributeCount = 2;
  EXPECT_EQ(BuildRunSummary(counts),
            "2 Blocks replaced had zero attributes (available to transfer to the Replacemet "
            "Block)\r\r" + kExplanation);

  counts.fewerAttributeCount = 40000;  // beyond a 16-bit count
  EXPECT_EQ(BuildRunSummary(counts),
            "40000 Blocks replaced had less attributes then expected (available to transfer to "
            "the Replacemet Block)\r\r"
            "2 Blocks replaced had zero attributes (available to transfer to the Replacemet "
            "Block)\r\r" + kExplanation);

  counts.notFoundList = "DOOR\r/blocks";
  counts.reachCount = 3;
  const std::string all = BuildRunSummary(counts);
  EXPECT_NE(all.find(kExplanation + "\r\rThe following Replacement Blocks count not found: "
                                    "\r\rDOOR\r/blocks\rThe Blocks 'to be replaced' remain "
                                    "unaffected\r\r3 Blocks replaced reached zero or >1 piece "
                                    "of Station Text\rLemon's have been drawn around the blocks"),
            std::string::npos);
}

TEST(RunSummary, SinglePartsStandAlone) {
  RunCounts notFound;
  notFound.notFoundList = "DOOR";
  EXPECT_EQ(BuildRunSummary(notFound),
            "The following Replacement Blocks count not found: \r\rDOOR\r"
            "The Blocks 'to be replaced' remain unaffected");
  RunCounts reach;
  reach.reachCount = 3;
  EXPECT_EQ(BuildRunSummary(reach),
            "3 Blocks replaced reached zero or >1 piece of Station Text\r"
            "Lemon's have been drawn around the blocks");
}

TEST(RunSummary, FailedReferencesAreGroupedByBlockAndReason) {
  RunCounts counts;
  const ReferenceFailure locked{"TREE", "Layer is locked"};
  for (int i = 0; i < 20000; ++i) counts.failedReferences.push_back(locked);
  counts.failedReferences.push_back({"DOOR", "Layer is locked"});
  counts.failedReferences.push_back({"TREE", "Out of memory"});
  EXPECT_EQ(BuildRunSummary(counts),
            "20002 Blocks could not be replaced and remain unaffected:\r"
            "TREE (20000): Layer is locked\rDOOR: Layer is locked\rTREE: Out of memory");
}

}  // namespace
}  // namespace engine
