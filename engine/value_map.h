// The map from variable name (upper case) to value text.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vell {

class ValueMap {
 public:
  // The stored value, or nullptr when the name has no entry. No allocation.
  const std::string* Find(std::string_view name) const;
  bool Contains(std::string_view name) const { return Find(name) != nullptr; }
  // Stores name -> value unless the name exists; returns whether it stored.
  bool Insert(std::string_view name, std::string_view value);
  void Clear();
  std::size_t Size() const { return entries_.size(); }

  template <typename F>
  void ForEach(F&& f) const {
    for (const auto& [name, value] : entries_) f(name, value);
  }

 private:
  // Keys are views into names_, whose elements never move.
  std::deque<std::string> names_;
  std::unordered_map<std::string_view, std::string> entries_;
};

}  // namespace vell
