// Ascending offsets into one text, kept in words narrower than std::size_t:
// the offsets of a sheet's lines take 4 bytes each instead of 8. Past the
// first 2^bits of text the high part lives in a short list of the places
// where it grows, so any length is still exact.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace vell {

template <typename Word>
class OffsetList {
 public:
  static constexpr unsigned kBits = std::numeric_limits<Word>::digits;

  // offset is at least every offset added before.
  void push_back(std::size_t offset) {
    const std::uint64_t high = static_cast<std::uint64_t>(offset) >> kBits;
    while (high > wraps_.size()) wraps_.push_back(words_.size());
    words_.push_back(static_cast<Word>(offset));
  }
  std::size_t operator[](std::size_t i) const {
    if (wraps_.empty()) return words_[i];
    const auto high = std::upper_bound(wraps_.begin(), wraps_.end(), i) - wraps_.begin();
    return static_cast<std::size_t>((static_cast<std::uint64_t>(high) << kBits) + words_[i]);
  }
  std::size_t size() const { return words_.size(); }
  void reserve(std::size_t count) { words_.reserve(count); }
  void clear() {
    words_.clear();
    wraps_.clear();
  }
  // Gives the storage back, not only the offsets.
  void Release() {
    words_ = std::vector<Word>();
    wraps_ = std::vector<std::size_t>();
  }

 private:
  std::vector<Word> words_;
  // For each further 2^bits of text, ascending, the first index that has it.
  std::vector<std::size_t> wraps_;
};

}  // namespace vell
