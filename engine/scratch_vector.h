// A vector whose storage is borrowed from the engine and handed back when it
// goes out of scope. Deep nesting keeps only a pointer and a handle per
// level on the stack, and storage grown once is reused by every later
// evaluation instead of being allocated and returned to the system again.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vell {

template <typename T>
class ScratchVector {
 public:
  using Pool = std::vector<std::vector<T>>;

  explicit ScratchVector(Pool& pool) : pool_(pool) {
    if (!pool_.empty()) {
      items_ = std::move(pool_.back());
      pool_.pop_back();
    }
  }
  ~ScratchVector() {
    items_.clear();
    pool_.push_back(std::move(items_));
  }
  ScratchVector(const ScratchVector&) = delete;
  ScratchVector& operator=(const ScratchVector&) = delete;

  void push_back(const T& v) { items_.push_back(v); }
  const T& operator[](std::size_t i) const { return items_[i]; }
  const T& back() const { return items_.back(); }
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }

 private:
  Pool& pool_;
  std::vector<T> items_;
};

}  // namespace vell
