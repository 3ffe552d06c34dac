#include "byte_arena.h"

#include <functional>
#include <utility>

namespace vell {

namespace {

constexpr std::size_t kBlock = std::size_t{64} << 10;
// Larger requests get a block of their own, so that at most a quarter of a
// block is ever left unused at its end.
constexpr std::size_t kOwnBlock = kBlock / 4;

}  // namespace

ByteArena::ByteArena(ByteArena&& other) noexcept
    : blocks_(std::move(other.blocks_)),
      next_(std::exchange(other.next_, nullptr)),
      room_(std::exchange(other.room_, 0)) {
  other.blocks_.clear();
}

ByteArena& ByteArena::operator=(ByteArena&& other) noexcept {
  if (this != &other) {
    blocks_ = std::move(other.blocks_);
    other.blocks_.clear();
    next_ = std::exchange(other.next_, nullptr);
    room_ = std::exchange(other.room_, 0);
  }
  return *this;
}

char* ByteArena::Allocate(std::size_t size) {
  if (size > kOwnBlock) {
    blocks_.push_back({std::unique_ptr<char[]>(new char[size]), size});
    return blocks_.back().bytes.get();
  }
  if (size > room_) {
    blocks_.push_back({std::unique_ptr<char[]>(new char[kBlock]), kBlock});
    next_ = blocks_.back().bytes.get();
    room_ = kBlock;
  }
  char* place = next_;
  next_ += size;
  room_ -= size;
  return place;
}

bool ByteArena::Holds(std::string_view text) const {
  const std::less<const char*> before;
  for (const Block& block : blocks_) {
    const char* begin = block.bytes.get();
    if (!before(text.data(), begin) && before(text.data(), begin + block.size)) return true;
  }
  return false;
}

void ByteArena::Clear() {
  blocks_.clear();
  next_ = nullptr;
  room_ = 0;
}

}  // namespace vell
