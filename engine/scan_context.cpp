#include "scan_context.h"

#include "engine_state.h"

namespace vell {

ScanContext::ScanContext(EngineState& engine, std::string_view text)
    : begin_(text.data()),
      end_(text.data() + text.size()),
      match_(new std::uint32_t[text.size()]),
      engine_(engine),
      outer_(engine.scanContext) {
  // Only parentheses' entries are ever read, so only they are written: the
  // pages of a long stretch without any are never touched.
  std::vector<std::uint32_t> open;
  bool anyLower = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    anyLower |= c >= 'a' && c <= 'z';
    if (c == '(') {
      open.push_back(static_cast<std::uint32_t>(i));
    } else if (c == ')') {
      if (open.empty()) {
        match_[i] = kNone;
      } else {
        match_[i] = open.back();
        match_[open.back()] = static_cast<std::uint32_t>(i);
        open.pop_back();
      }
    }
  }
  for (const std::uint32_t unclosed : open) match_[unclosed] = kNone;
  // Most long texts are upper case or digits; they need no count.
  if (anyLower) {
    lowerBefore_.resize(text.size() + 1);
    std::uint32_t lower = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      lowerBefore_[i] = lower;
      if (text[i] >= 'a' && text[i] <= 'z') ++lower;
    }
    lowerBefore_[text.size()] = lower;
  }
  engine_.scanContext = this;
}

ScanContext::~ScanContext() { engine_.scanContext = outer_; }

const ScanContext* ScanContext::For(const EngineState& engine, std::string_view view) {
  for (const ScanContext* c = engine.scanContext; c != nullptr; c = c->outer_)
    if (view.data() >= c->begin_ && view.data() + view.size() <= c->end_) return c;
  return nullptr;
}

std::size_t ScanContext::FindComma(std::string_view view) const {
  const char* from = view.data();
  if (commaFrom_ == nullptr || from < commaFrom_ || from > commaAt_) {
    commaFrom_ = from;
    commaAt_ = from;
    while (commaAt_ < end_ && *commaAt_ != ',') ++commaAt_;
  }
  return commaAt_ < from + view.size() ? static_cast<std::size_t>(commaAt_ - from) : std::string_view::npos;
}

bool ScanContext::HasLowerAscii(std::string_view view) const {
  if (lowerBefore_.empty()) return false;
  const std::size_t first = Offset(view.data());
  return lowerBefore_[first + view.size()] != lowerBefore_[first];
}

}  // namespace vell
