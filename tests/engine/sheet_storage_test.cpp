// The storage of a resolved sheet: the value map, the stored lines and the
// pieces they are built from.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "byte_arena.h"
#include "offset_list.h"
#include "value_map.h"

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

TEST(ValueMap, StoresEachNameOnce) {
  // Lengths around the one-byte and two-byte length marks and past a block.
  const std::string long1(127, 'N'), long2(128, 'N'), huge(200000, 'v');
  const struct {
    std::string name, value;
    bool stored;
  } cases[] = {
      // clang-format off
      {"A", "1", true},         {"B", "", true},     {"", "empty name", true}, {"A", "2", false},
      {"AB", "3", true},        {"BA", "4", true},   {long1, long2, true},     {long2, long1, true},
      {"H", huge, true},        {"", "again", false}, {"LIST(X)", "A,B", true},
      // clang-format on
  };
  ValueMap map;
  std::size_t size = 0;
  for (const auto& c : cases) {
    EXPECT_EQ(map.Insert(c.name, c.value), c.stored) << c.name;
    if (c.stored) ++size;
    EXPECT_EQ(map.Size(), size);
  }
  for (const auto& c : cases) {
    if (!c.stored) continue;
    const auto value = map.Find(c.name);
    ASSERT_TRUE(value.has_value()) << c.name;
    EXPECT_EQ(*value, c.value) << c.name;
    EXPECT_TRUE(map.Holds(*value));
  }
  EXPECT_EQ(*map.Find("A"), "1");
  EXPECT_FALSE(map.Find("C").has_value());
  EXPECT_FALSE(map.Find("a").has_value());
  EXPECT_FALSE(map.Contains("LIST(X"));
}

TEST(ValueMap, GrowsAndVisitsEveryEntryInOrder) {
  ValueMap map;
  map.Prefetch("V0");  // a hint only, also on an empty map
  const int n = 50000;
  for (int i = 0; i < n; ++i) {
    map.Prefetch("V" + std::to_string(i));
    ASSERT_FALSE(map.Contains("V" + std::to_string(i)));
    ASSERT_TRUE(map.Insert("V" + std::to_string(i), std::to_string(i * 7)));
  }
  for (int i = 0; i < n; ++i) ASSERT_EQ(*map.Find("V" + std::to_string(i)), std::to_string(i * 7)) << i;
  EXPECT_FALSE(map.Contains("V" + std::to_string(n)));
  int next = 0;
  map.ForEach([&](std::string_view name, std::string_view value) {
    EXPECT_EQ(name, "V" + std::to_string(next));
    EXPECT_EQ(value, std::to_string(next * 7));
    ++next;
  });
  EXPECT_EQ(next, n);
}

TEST(ValueMap, SharedValuesAreOneText) {
  ValueMap map;
  map.Reserve(4);
  const std::string text(100000, 't');
  ASSERT_TRUE(map.Insert("T", text));
  const struct {
    const char* name;
    const char* source;
    bool stored;
  } cases[] = {
      // clang-format off
      {"B", "T", true}, {"C", "B", true}, {"T", "B", false}, {"D", "MISSING", false}, {"B", "C", false},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(map.InsertShared(c.name, c.source), c.stored) << c.name;
  // Growing past the reservation moves no text.
  for (int i = 0; i < 1000; ++i) map.Insert("N" + std::to_string(i), "1");
  const std::string_view t = *map.Find("T");
  EXPECT_EQ(t, text);
  EXPECT_EQ(map.Find("B")->data(), t.data());
  EXPECT_EQ(map.Find("C")->data(), t.data());
  EXPECT_EQ(map.Find("C")->size(), text.size());
  EXPECT_FALSE(map.Contains("D"));
  EXPECT_EQ(map.Size(), 1003u);
  ValueMap empty;
  EXPECT_FALSE(empty.InsertShared("A", "B"));
  EXPECT_EQ(empty.Size(), 0u);
}

TEST(ValueMap, ClearDropsEntriesAndListPositions) {
  ValueMap map;
  map.Insert("X", "B");
  EXPECT_EQ(map.FindListPosition("X"), nullptr);
  map.KeepListPosition("X", 2);
  map.KeepListPosition("Y", 0);
  ASSERT_NE(map.FindListPosition("X"), nullptr);
  EXPECT_EQ(*map.FindListPosition("X"), 2);
  EXPECT_EQ(*map.FindListPosition("Y"), 0);
  const std::string_view old = *map.Find("X");
  EXPECT_TRUE(map.Holds(old));
  map.Clear();
  EXPECT_EQ(map.Size(), 0u);
  EXPECT_FALSE(map.Contains("X"));
  EXPECT_EQ(map.FindListPosition("X"), nullptr);
  EXPECT_FALSE(map.Holds(old));
  ASSERT_TRUE(map.Insert("X", "C"));
  EXPECT_EQ(*map.Find("X"), "C");
  // A map moved from is empty and usable.
  ValueMap moved = std::move(map);
  EXPECT_EQ(*moved.Find("X"), "C");
  map = ValueMap();
  EXPECT_TRUE(map.Insert("X", "D"));
  EXPECT_EQ(*map.Find("X"), "D");
}

}  // namespace
}  // namespace vell
