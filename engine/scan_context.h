// What the evaluator knows about a long text before it splits it: the
// partner of every parenthesis and where the lower-case letters are. Nested parts of
// the text are views into it, so each nesting level can skip parenthesised
// groups and answer "any lower case?" at once instead of rescanning its
// whole text; that keeps deep nesting linear in the text's length.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vell {

struct EngineState;

class ScanContext {
 public:
  static constexpr std::uint32_t kNone = 0xffffffffu;
  // Texts shorter than this are cheap to rescan and get no context.
  static constexpr std::size_t kMinLength = 128;

  // Makes the context for text and makes it the engine's innermost one until destroyed.
  ScanContext(EngineState& engine, std::string_view text);
  ~ScanContext();
  ScanContext(const ScanContext&) = delete;
  ScanContext& operator=(const ScanContext&) = delete;

  // The innermost context whose text holds view, or nullptr.
  static const ScanContext* For(const EngineState& engine, std::string_view view);

  // The partner of the parenthesis at p (the "(" of a ")", the ")" of a
  // "("), nullptr when it has none.
  const char* PartnerOf(const char* p) const {
    const std::uint32_t partner = match_[static_cast<std::size_t>(p - begin_)];
    return partner == kNone ? nullptr : begin_ + partner;
  }
  std::size_t Offset(const char* p) const { return static_cast<std::size_t>(p - begin_); }
  bool HasLowerAscii(std::string_view view) const;
  // view.find(','); searches that move forward through a stretch without a
  // comma (nested calls asking for their first comma) find it at once.
  std::size_t FindComma(std::string_view view) const;

 private:
  const char* begin_;
  const char* end_;
  std::unique_ptr<std::uint32_t[]> match_;  // at each parenthesis, its partner or kNone
  std::vector<std::uint32_t> lowerBefore_;  // lower-case letters before each position; empty without any
  EngineState& engine_;
  const ScanContext* outer_;
  // The last comma search: the first comma at or after commaFrom_ is at
  // commaAt_ (end_ when there is none).
  mutable const char* commaFrom_ = nullptr;
  mutable const char* commaAt_ = nullptr;
};

}  // namespace vell
