// What the evaluator knows about a text before it splits it: the partner
// of every parenthesis and where the lower-case letters are. Nested parts of
// the text are views into it, so each nesting level skips parenthesised
// groups and answers "any lower case?" without rescanning its whole text;
// one pass over the text serves every level, which keeps nesting linear in
// its length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "scratch_vector.h"

namespace vell {

struct EngineState;
struct ScanStorage;

class ScanContext {
 public:
  static constexpr std::uint32_t kNone = 0xffffffffu;
  // Texts shorter than this are cheap to walk character by character.
  static constexpr std::size_t kMinLength = 128;

  // Makes the context for text and makes it the engine's innermost one until destroyed.
  ScanContext(EngineState& engine, std::string_view text);
  // The context of copy: original, a view of source's text, with every
  // lower-case letter made upper case. Nothing else differs, so it shares
  // source's tables.
  ScanContext(EngineState& engine, std::string_view copy, const ScanContext& source, std::string_view original);
  ~ScanContext();
  ScanContext(const ScanContext&) = delete;
  ScanContext& operator=(const ScanContext&) = delete;

  // The innermost context whose text holds view, or nullptr.
  static const ScanContext* For(const EngineState& engine, std::string_view view);

  // The depth-0 operators of view, counting depth from its end leftwards as
  // a reader splitting it would, at or after position lowest: their
  // positions in view, descending, split into sums (+ - < = >) and
  // products (* / ^).
  void Operators(std::string_view view, std::size_t lowest, ScratchVector<std::size_t>& sums,
                 ScratchVector<std::size_t>& products) const;
  // The partner of the parenthesis at p (the "(" of a ")", the ")" of a
  // "("), nullptr when it has none in this context's text.
  const char* PartnerOf(const char* p) const {
    const std::uint32_t partner = match_[Index(p)];
    // A copy's partners are those of its own text: one outside it has none.
    if (partner == kNone || partner < base_ || partner - base_ >= static_cast<std::size_t>(end_ - begin_))
      return nullptr;
    return begin_ + (partner - base_);
  }
  bool HasLowerAscii(std::string_view view) const {
    if (!anyLower_) return false;
    if (lowerBefore_ == nullptr) {
      // A short view is read directly; a long one asks the count, made once.
      if (view.size() < kMinLength) {
        for (const char c : view)
          if (c >= 'a' && c <= 'z') return true;
        return false;
      }
      CountLowerCase();
    }
    return lowerBefore_[Index(view.data() + view.size())] != lowerBefore_[Index(view.data())];
  }
  // view.find(','); searches that move forward through a stretch without a
  // comma (nested calls asking for their first comma) find it at once.
  std::size_t FindComma(std::string_view view) const;

 private:
  std::size_t Index(const char* p) const { return static_cast<std::size_t>(p - begin_) + base_; }
  void CountLowerCase() const;

  const char* begin_;
  const char* end_;
  std::size_t base_ = 0;  // the tables' index of begin_
  // Per position of the tables' text: at a parenthesis, its partner or kNone.
  const std::uint32_t* match_ = nullptr;
  // Once asked for, the lower-case letters before each position. Most texts
  // are upper case or digits and never need the count.
  bool anyLower_ = false;
  mutable std::uint32_t* lowerBefore_ = nullptr;
  std::unique_ptr<ScanStorage> storage_;  // borrowed from the engine by a context that made its tables
  EngineState& engine_;
  const ScanContext* outer_;
  // The last comma search: the first comma at or after commaFrom_ is at
  // commaAt_ (end_ when there is none).
  mutable const char* commaFrom_ = nullptr;
  mutable const char* commaAt_ = nullptr;
};

}  // namespace vell
