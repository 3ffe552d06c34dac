// The stored lines of a variable sheet: trimmed, upper-cased, comments
// left out, all in one buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "offset_list.h"

namespace vell {

class SheetLines {
 public:
  // Replaces the lines with those of the sheet text: its pieces between line
  // breaks, without those that start with ";" or "?", trimmed and upper-cased.
  void Assign(std::string_view sheet);
  // Appends one line as it is.
  void push_back(std::string_view line);
  void clear();

  std::size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.size() == 0; }
  std::string_view operator[](std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_.data() + begin, ends_[i] - begin);
  }
  // Whether the text lies in this storage (its views end with the next Assign).
  bool Holds(std::string_view text) const;

 private:
  std::string text_;                // the lines one after the other
  OffsetList<std::uint32_t> ends_;  // where each ends in text_
};

}  // namespace vell
