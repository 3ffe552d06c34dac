#include "value_map.h"

namespace vell {

const std::string* ValueMap::Find(std::string_view name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : &it->second;
}

bool ValueMap::Insert(std::string_view name, std::string_view value) {
  if (entries_.find(name) != entries_.end()) return false;
  names_.emplace_back(name);
  entries_.emplace(std::string_view(names_.back()), std::string(value));
  return true;
}

void ValueMap::Clear() {
  entries_.clear();
  names_.clear();
}

}  // namespace vell
