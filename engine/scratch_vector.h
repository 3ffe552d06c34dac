// A vector whose storage is borrowed from the engine and handed back when it
// goes out of scope. Deep nesting keeps only a pointer per level on the
// stack, and storage grown once is reused by every later evaluation instead
// of being allocated and returned to the system again.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace vell {

template <typename T>
class ScratchVector {
 public:
  // Scratch vectors are scoped, so they are borrowed and handed back in
  // reverse order: the pool is a stack, and used counts the borrowed ones.
  struct Pool {
    std::vector<std::unique_ptr<std::vector<T>>> items;
    std::size_t used = 0;
  };

  explicit ScratchVector(Pool& pool) : pool_(pool) {
    if (pool_.used == pool_.items.size()) pool_.items.push_back(std::make_unique<std::vector<T>>());
    items_ = pool_.items[pool_.used++].get();
  }
  ~ScratchVector() {
    items_->clear();
    --pool_.used;
  }
  ScratchVector(const ScratchVector&) = delete;
  ScratchVector& operator=(const ScratchVector&) = delete;

  void push_back(const T& v) { items_->push_back(v); }
  const T& operator[](std::size_t i) const { return (*items_)[i]; }
  const T& back() const { return items_->back(); }
  std::size_t size() const { return items_->size(); }
  bool empty() const { return items_->empty(); }

 private:
  Pool& pool_;
  std::vector<T>* items_;
};

}  // namespace vell
