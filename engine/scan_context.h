// What the evaluator knows about a long text before it splits it: the
// partner of every ")" and where the lower-case letters are. Nested parts of
// the text are views into it, so each nesting level can skip parenthesised
// groups and answer "any lower case?" at once instead of rescanning its
// whole text; that keeps deep nesting linear in the text's length.
#pragma once

#include <cstdint>
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

  // Position in the context's text of the "(" that closes with the ")" at
  // position, kNone when it has none.
  std::uint32_t OpeningOf(const char* closing) const { return match_[static_cast<std::size_t>(closing - begin_)]; }
  std::size_t Offset(const char* p) const { return static_cast<std::size_t>(p - begin_); }
  bool HasLowerAscii(std::string_view view) const;

 private:
  const char* begin_;
  const char* end_;
  std::vector<std::uint32_t> match_;       // at each ")", its "("; kNone elsewhere
  std::vector<std::uint32_t> lowerBefore_;  // lower-case letters before each position
  EngineState& engine_;
  const ScanContext* outer_;
};

}  // namespace vell
