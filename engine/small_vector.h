// A vector that keeps its first N elements inline, so short operator chains
// cost no allocation.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace vell {

template <typename T, std::size_t N>
class SmallVector {
 public:
  void push_back(const T& v) {
    if (size_ < N) {
      inline_[size_] = v;
    } else {
      overflow_.push_back(v);
    }
    ++size_;
  }
  const T& operator[](std::size_t i) const { return i < N ? inline_[i] : overflow_[i - N]; }
  const T& back() const { return (*this)[size_ - 1]; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

 private:
  // Left uninitialised: only the first size_ elements are ever read.
  std::array<T, N> inline_;
  std::vector<T> overflow_;
  std::size_t size_ = 0;
};

}  // namespace vell
