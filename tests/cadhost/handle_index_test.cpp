#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <unordered_map>

#include "cadhost/handle_index.h"

namespace cadhost {
namespace {

struct HandlePattern {
  const char* name;
  std::function<Handle(std::uint32_t)> handleOf;
  bool reserve;
};

// Every handle added is found with its id, whether the index was reserved or
// grew one entry at a time; handles never added, and 0, are not found.
TEST(HandleIndex, FindsEveryAddedHandleAndNothingElse) {
  std::mt19937_64 random(7);
  const HandlePattern patterns[] = {
      {"consecutive, as a file numbers them", [](std::uint32_t i) { return Handle{0x20} + i; }, true},
      {"consecutive, grown without reserving", [](std::uint32_t i) { return Handle{0x20} + i; }, false},
      {"far apart in powers of two", [](std::uint32_t i) { return Handle{i + 1} << 20; }, false},
      {"anywhere in 64 bits", [&random](std::uint32_t) { return random() | 1; }, false},
  };
  for (const HandlePattern& pattern : patterns) {
    SCOPED_TRACE(pattern.name);
    constexpr std::uint32_t kCount = 50000;
    HandleIndex index;
    if (pattern.reserve) index.Reserve(kCount);
    std::unordered_map<Handle, EntityId> expected;
    for (std::uint32_t i = 0; i < kCount; ++i) {
      const Handle handle = pattern.handleOf(i);
      if (expected.contains(handle)) continue;
      expected[handle] = EntityId{i + 1};
      index.Add(handle, EntityId{i + 1});
    }
    EXPECT_EQ(index.size(), expected.size());
    for (const auto& [handle, id] : expected) ASSERT_EQ(index.Find(handle), id) << handle;
    for (Handle absent : {Handle{0}, Handle{1}, Handle{0x1F}, ~Handle{0} - 1}) {
      if (!expected.contains(absent)) {
        EXPECT_FALSE(index.Contains(absent)) << absent;
      }
    }
  }
  HandleIndex empty;
  EXPECT_FALSE(empty.Find(0x20));
  EXPECT_THROW(empty.Add(0, EntityId{1}), std::invalid_argument);
}

}  // namespace
}  // namespace cadhost
