#include "stem_memo.h"

#include "engine_state.h"
#include "value_text.h"

namespace vell {

StemMemo::StemMemo(const char* begin, const char* end) : begin_(begin), end_(end), outer_(Engine().stemMemo) {
  Engine().stemMemo = this;
}

StemMemo::~StemMemo() { Engine().stemMemo = outer_; }

StemMemo* StemMemo::For(std::string_view text) {
  StemMemo* memo = Engine().stemMemo;
  // White space alone leaves the result text as it was: nothing to remember.
  if (memo == nullptr || text.data() < memo->begin_ || text.data() + text.size() > memo->end_ ||
      TrimWhiteSpace(text).empty())
    return nullptr;
  return memo;
}

int StemMemo::Nesting() { return Engine().nesting; }

}  // namespace vell
