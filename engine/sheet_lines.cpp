#include "sheet_lines.h"

#include <algorithm>
#include <functional>

#include "value_text.h"

namespace vell {

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

void SheetLines::Assign(std::string_view sheet) {
  // Fresh storage sized for this sheet: a large sheet before leaves none behind.
  // The lines never take more room than the sheet, nor outnumber its breaks.
  text_ = std::string();
  ends_.Release();
  text_.reserve(sheet.size());
  ends_.reserve(static_cast<std::size_t>(std::count(sheet.begin(), sheet.end(), '\n')) + 1);
  std::size_t i = 0;
  while (i < sheet.size()) {
    while (i < sheet.size() && IsLineBreak(sheet[i])) ++i;
    if (i >= sheet.size()) break;
    std::size_t end = i;
    while (end < sheet.size() && !IsLineBreak(sheet[end])) ++end;
    const std::string_view piece = sheet.substr(i, end - i);
    i = end;
    if (piece[0] == ';' || piece[0] == '?') continue;
    const std::size_t begin = text_.size();
    text_.append(TrimWhiteSpace(piece));
    for (std::size_t k = begin; k < text_.size(); ++k)
      if (text_[k] >= 'a' && text_[k] <= 'z') text_[k] = static_cast<char>(text_[k] - 'a' + 'A');
    ends_.push_back(text_.size());
  }
}

void SheetLines::push_back(std::string_view line) {
  text_.append(line);
  ends_.push_back(text_.size());
}

void SheetLines::clear() {
  text_.clear();
  ends_.clear();
}

bool SheetLines::Holds(std::string_view text) const {
  const std::less<const char*> before;
  const char* begin = text_.data();
  return !before(text.data(), begin) && !before(begin + text_.capacity(), text.data());
}

}  // namespace vell
