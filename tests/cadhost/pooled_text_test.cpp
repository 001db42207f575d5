#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "cadhost/pooled_text.h"

namespace cadhost {
namespace {

// Pooled texts stand in for strings: they compare with every string form, and
// texts made apart (from a file, from a literal, on another thread) are one entry.
TEST(PooledText, EqualTextsAreOneEntryAndCompareAsStrings) {
  const std::string read = "IRR_STATION";
  const PooledText a(read);
  const PooledText b(std::string_view("IRR_STATIONX").substr(0, 11));
  EXPECT_EQ(a, b);
  EXPECT_EQ(&a.str(), &b.str());
  EXPECT_EQ(a, "IRR_STATION");
  EXPECT_EQ(a, read);
  EXPECT_EQ(a, std::string_view(read));
  EXPECT_FALSE(a == "irr_station");  // letter case counts, as for a std::string
  EXPECT_LT(PooledText("A"), PooledText("B"));
  EXPECT_EQ(a + "-V", "IRR_STATION-V");
  EXPECT_TRUE(PooledText().empty());
  EXPECT_EQ(PooledText(), "");

  PooledText fromThread;
  std::thread([&] { fromThread = PooledText("IRR_STATION"); }).join();
  EXPECT_EQ(&fromThread.str(), &a.str());
}

// Texts handed out earlier stay valid and unchanged while the pool grows by
// many more, and the per-thread cache never answers with a different text
// that happens to look alike at its ends.
TEST(PooledText, EarlierTextsSurviveAGrowingPool) {
  const PooledText first("LAYER-0");
  const std::string* firstEntry = &first.str();
  std::vector<PooledText> many;
  for (int i = 0; i < 100000; ++i) many.emplace_back("L" + std::to_string(i) + "X");
  EXPECT_EQ(&first.str(), firstEntry);
  EXPECT_EQ(first, "LAYER-0");
  for (int i = 0; i < 100000; i += 997) EXPECT_EQ(many[static_cast<std::size_t>(i)], "L" + std::to_string(i) + "X");
  EXPECT_EQ(PooledText("L12X"), "L12X");
  EXPECT_EQ(PooledText("L21X"), "L21X");  // same length and ends as L12X
}

}  // namespace
}  // namespace cadhost
