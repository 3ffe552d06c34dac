// Outcomes of texts evaluated while a range's members are evaluated one by
// one: a view inside the stem part of the member text is the same text for
// every member, so its outcome is worked out once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vell {

class StemMemo {
 public:
  // Remembers views of [begin, end) until destroyed, as the innermost memo.
  StemMemo(const char* begin, const char* end);
  ~StemMemo();
  StemMemo(const StemMemo&) = delete;
  StemMemo& operator=(const StemMemo&) = delete;

  // The innermost memo if text lies in its stem and is worth remembering.
  static StemMemo* For(std::string_view text);

  // EvaluateExpression's outcome, from memory when the same text was
  // evaluated at the same nesting from the same result text.
  template <typename Evaluate>
  bool Recall(std::string_view text, std::string& out, Evaluate evaluate) {
    const int nesting = Nesting();
    for (const Entry& e : entries_) {
      if (e.text.data() == text.data() && e.text.size() == text.size() && e.nesting == nesting && e.in == out) {
        out = e.out;
        return e.ok;
      }
    }
    Entry entry{text, nesting, out, std::string(), false};
    entry.ok = evaluate();
    entry.out = out;
    if (entries_.size() < kMaxEntries) entries_.push_back(std::move(entry));
    return entry.ok;
  }

 private:
  static constexpr std::size_t kMaxEntries = 64;
  struct Entry {
    std::string_view text;
    int nesting;
    std::string in, out;
    bool ok;
  };
  static int Nesting();

  const char* begin_;
  const char* end_;
  StemMemo* outer_;
  std::vector<Entry> entries_;
};

}  // namespace vell
