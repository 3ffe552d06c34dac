#include "scan_context.h"

#include "engine_state.h"

namespace vell {

namespace {

// What each byte means to the operator scan, with kLower added for a
// lower-case letter.
enum CharClass : unsigned char { kOther, kOpen, kClose, kSum, kProduct, kLower = 128 };
struct CharClasses {
  unsigned char of[256];
  constexpr CharClasses() : of() {
    of[static_cast<unsigned char>('(')] = kOpen;
    of[static_cast<unsigned char>(')')] = kClose;
    for (char c : {'+', '-', '<', '=', '>'}) of[static_cast<unsigned char>(c)] = kSum;
    for (char c : {'*', '/', '^'}) of[static_cast<unsigned char>(c)] = kProduct;
    for (char c = 'a'; c <= 'z'; ++c) of[static_cast<unsigned char>(c)] = kLower;
  }
};
constexpr CharClasses kCharClasses;

// Tables above this many words go back to the system after use rather than
// staying with the engine.
constexpr std::size_t kKeptWords = std::size_t{1} << 20;

}  // namespace

ScanContext::ScanContext(EngineState& engine, std::string_view text)
    : begin_(text.data()), end_(text.data() + text.size()), engine_(engine), outer_(engine.scanContext) {
  const std::size_t n = text.size();
  // The partners, then room for the lower-case count.
  const std::size_t words = 2 * n + 1;
  if (engine.scanPool.empty()) {
    storage_ = std::make_unique<ScanStorage>();
  } else {
    storage_ = std::move(engine.scanPool.back());
    engine.scanPool.pop_back();
  }
  if (storage_->capacity < words) {
    // Left uninitialised: only the entries written below are ever read.
    storage_->words.reset(new std::uint32_t[words]);
    storage_->capacity = words;
  }
  std::uint32_t* match = storage_->words.get();
  // The unclosed "(" form a stack linked through their own entries.
  std::uint32_t open = kNone;
  unsigned seen = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned kind = kCharClasses.of[static_cast<unsigned char>(text[i])];
    seen |= kind;
    if (kind == kOpen) {
      match[i] = open;
      open = static_cast<std::uint32_t>(i);
    } else if (kind == kClose) {
      match[i] = open;
      if (open != kNone) {
        const std::uint32_t below = match[open];
        match[open] = static_cast<std::uint32_t>(i);
        open = below;
      }
    }
  }
  while (open != kNone) {
    const std::uint32_t below = match[open];
    match[open] = kNone;
    open = below;
  }
  match_ = match;
  anyLower_ = (seen & kLower) != 0;
  engine_.scanContext = this;
}

void ScanContext::CountLowerCase() const {
  const std::size_t n = static_cast<std::size_t>(end_ - begin_);
  lowerBefore_ = storage_->words.get() + n;
  std::uint32_t count = 0;
  for (std::size_t i = 0; i < n; ++i) {
    lowerBefore_[i] = count;
    count += kCharClasses.of[static_cast<unsigned char>(begin_[i])] >> 7;
  }
  lowerBefore_[n] = count;
}

ScanContext::ScanContext(EngineState& engine, std::string_view copy, const ScanContext& source,
                         std::string_view original)
    : begin_(copy.data()),
      end_(copy.data() + copy.size()),
      base_(source.Index(original.data())),
      match_(source.match_),
      engine_(engine),
      outer_(engine.scanContext) {
  engine_.scanContext = this;
}

ScanContext::~ScanContext() {
  engine_.scanContext = outer_;
  if (storage_ == nullptr) return;
  if (storage_->capacity > kKeptWords) {
    storage_->words.reset();
    storage_->capacity = 0;
  }
  engine_.scanPool.push_back(std::move(storage_));
}

const ScanContext* ScanContext::For(const EngineState& engine, std::string_view view) {
  for (const ScanContext* c = engine.scanContext; c != nullptr; c = c->outer_)
    if (view.data() >= c->begin_ && view.data() + view.size() <= c->end_) return c;
  return nullptr;
}

// Read leftwards from the view's end, counting parentheses; a group met at
// depth 0 is skipped whole through its partner, so each level of nesting
// reads only its own characters. Without a partner inside the view, nothing
// to the group's left is at depth 0.
void ScanContext::Operators(std::string_view view, std::size_t lowest, ScratchVector<std::size_t>& sums,
                            ScratchVector<std::size_t>& products) const {
  long depth = 0;
  for (std::size_t i = view.size(); i-- > lowest;) {
    unsigned kind = kCharClasses.of[static_cast<unsigned char>(view[i])] & 7u;
    // Most characters mean nothing here; pass them in a tight loop.
    while (kind == kOther && i > lowest) kind = kCharClasses.of[static_cast<unsigned char>(view[--i])] & 7u;
    switch (kind) {
      case kOpen: --depth; break;
      case kClose:
        if (depth == 0) {
          const char* open = PartnerOf(view.data() + i);
          if (open == nullptr || open <= view.data()) return;
          i = static_cast<std::size_t>(open - view.data());
        } else {
          ++depth;
        }
        break;
      case kSum:
        if (depth == 0) sums.push_back(i);
        break;
      case kProduct:
        if (depth == 0) products.push_back(i);
        break;
      default: break;
    }
  }
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

}  // namespace vell
