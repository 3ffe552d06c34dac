// Storage handed out from large blocks that never move: what is placed there
// keeps its address until Clear, and placing it costs no allocation of its
// own. A sheet of a million definitions keeps its names and values in a few
// hundred blocks instead of two million strings.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace vell {

class ByteArena {
 public:
  ByteArena() = default;
  ByteArena(ByteArena&& other) noexcept;
  ByteArena& operator=(ByteArena&& other) noexcept;
  ByteArena(const ByteArena&) = delete;
  ByteArena& operator=(const ByteArena&) = delete;

  // size bytes, unaligned, valid until Clear.
  char* Allocate(std::size_t size);
  // Whether the text starts in a block of this arena.
  bool Holds(std::string_view text) const;
  void Clear();

 private:
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size;
  };
  std::vector<Block> blocks_;
  char* next_ = nullptr;  // free space in the current block
  std::size_t room_ = 0;
};

}  // namespace vell
