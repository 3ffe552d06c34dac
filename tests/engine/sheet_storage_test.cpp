// The pieces the storage of a resolved sheet is built from.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "byte_arena.h"
#include "offset_list.h"

namespace vell {
namespace {

TEST(ByteArena, PlacesKeepTheirBytesAndAddress) {
  ByteArena arena;
  // Small pieces share blocks; a piece past a quarter block gets its own.
  const std::size_t sizes[] = {1, 7, 100, 16384, 16385, 70000, 3, 65536, 1};
  std::vector<std::pair<char*, std::size_t>> placed;
  for (std::size_t round = 0; round < 40; ++round) {
    for (std::size_t size : sizes) {
      char* p = arena.Allocate(size);
      for (std::size_t k = 0; k < size; ++k) p[k] = static_cast<char>('a' + (round + k) % 26);
      placed.emplace_back(p, size);
    }
  }
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const auto [p, size] = placed[i];
    const std::size_t round = i / std::size(sizes);
    for (std::size_t k = 0; k < size; ++k) ASSERT_EQ(p[k], static_cast<char>('a' + (round + k) % 26)) << i;
    EXPECT_TRUE(arena.Holds(std::string_view(p, size)));
    EXPECT_TRUE(arena.Holds(std::string_view(p + size - 1, 1)));
  }
  const std::string outside(10, 'x');
  EXPECT_FALSE(arena.Holds(outside));
  ByteArena moved(std::move(arena));
  EXPECT_TRUE(moved.Holds(std::string_view(placed[0].first, 1)));
  moved.Clear();
  EXPECT_FALSE(moved.Holds(std::string_view(placed[0].first, 1)));
}

TEST(OffsetList, NarrowWordsGiveExactOffsetsPastTheirRange) {
  // 8-bit words wrap every 256: the same steps as 32-bit words past 4 GiB.
  const std::vector<std::size_t> offsets = {0, 3, 255, 256, 256, 300, 511, 512, 2000, 2000, 70000, 70001};
  OffsetList<std::uint8_t> narrow;
  OffsetList<std::uint32_t> wide;
  for (std::size_t offset : offsets) {
    narrow.push_back(offset);
    wide.push_back(offset);
  }
  ASSERT_EQ(narrow.size(), offsets.size());
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    EXPECT_EQ(narrow[i], offsets[i]) << i;
    EXPECT_EQ(wide[i], offsets[i]) << i;
  }
  narrow.clear();
  narrow.push_back(5);
  EXPECT_EQ(narrow.size(), 1u);
  EXPECT_EQ(narrow[0], 5u);
}

}  // namespace
}  // namespace vell
