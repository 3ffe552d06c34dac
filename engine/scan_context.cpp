#include "scan_context.h"

#include "engine_state.h"

namespace vell {

ScanContext::ScanContext(EngineState& engine, std::string_view text)
    : begin_(text.data()), end_(text.data() + text.size()), match_(text.size(), kNone),
      lowerBefore_(text.size() + 1, 0), engine_(engine), outer_(engine.scanContext) {
  std::vector<std::uint32_t> open;
  std::uint32_t lower = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    lowerBefore_[i] = lower;
    if (c >= 'a' && c <= 'z') ++lower;
    if (c == '(') {
      open.push_back(static_cast<std::uint32_t>(i));
    } else if (c == ')' && !open.empty()) {
      match_[i] = open.back();
      open.pop_back();
    }
  }
  lowerBefore_[text.size()] = lower;
  engine_.scanContext = this;
}

ScanContext::~ScanContext() { engine_.scanContext = outer_; }

const ScanContext* ScanContext::For(const EngineState& engine, std::string_view view) {
  for (const ScanContext* c = engine.scanContext; c != nullptr; c = c->outer_)
    if (view.data() >= c->begin_ && view.data() + view.size() <= c->end_) return c;
  return nullptr;
}

bool ScanContext::HasLowerAscii(std::string_view view) const {
  const std::size_t first = Offset(view.data());
  return lowerBefore_[first + view.size()] != lowerBefore_[first];
}

}  // namespace vell
