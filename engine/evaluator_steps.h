// The evaluator's steps, for evaluating a range's members: a member is its
// stem followed by digits, so whatever only reads the stem is worked out once
// for the whole range and each member costs only the steps its digits reach.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine_state.h"
#include "evaluator.h"
#include "failure_note.h"
#include "number_text.h"
#include "scratch_vector.h"

namespace vell {

// What a value text reads as, when the text is one FormatNumber wrote (so
// never a date) and the number is known without reading it back. Inside an
// evaluation such a text is written only where it is read: while pending,
// the text is not in its string yet and is FormatNumber(raw).
struct KnownNumber {
  bool known = false;
  double value = 0.0;
  bool pending = false;
  double raw = 0.0;
};

// Writes a pending number text into out.
inline void WritePending(KnownNumber& number, std::string& out) {
  if (!number.pending) return;
  FormatNumber(number.raw, out);
  number.pending = false;
}

// One level of the written expression (a parenthesised text or a call's
// argument). Deeper than kMaxNesting the evaluation is cut: this level and
// every one entered after it fail with "E".
class NestingGuard {
 public:
  explicit NestingGuard(EngineState& engine) : state_(engine) { ++state_.nesting; }
  ~NestingGuard() { --state_.nesting; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;
  // True also once the evaluation has been cut for another reason.
  bool TooDeep() const {
    if (state_.nesting > kMaxNesting) {
      if (!state_.tooDeep) NoteTooDeep(state_);
      state_.cut = state_.tooDeep = true;
    }
    return state_.cut;
  }

 private:
  EngineState& state_;
};

// A step failed: in a sheet line outside POW and NROOT operands the line
// has failed, so the rest of its evaluation is cut.
inline void NoteFailure(EngineState& engine) {
  if (engine.stopAtFailure && engine.shielded == 0) engine.cut = true;
}

// Operator positions, descending, in storage borrowed from the engine.
class Positions : public ScratchVector<std::size_t> {
 public:
  explicit Positions(EngineState& engine) : ScratchVector(engine.positionPool) {}
};

// Combines two operand texts; out may be the same string as left. A known
// number stands for its text. result receives what the outcome reads as: a
// pending number text, or "E" written into out (its raw then 0 for a
// division by zero, else the result that is not finite).
bool Combine(Operator op, const std::string& left, const double* leftNumber, std::string_view right,
             const KnownNumber& rightNumber, bool ok, std::string& out, KnownNumber& result);

// Why Combine failed, where no operand's failure explains it: "E" for a
// division by zero or a result that is not finite, else a missing operand.
// where is the text the step combines.
[[gnu::cold]] void ExplainCombine(EngineState& engine, Operator op, std::string_view where, const KnownNumber& result);

// EvaluateExpression for a call's argument inside an evaluation: a number
// result may be left pending in number.
bool EvaluateArgument(EngineState& engine, std::string_view text, std::string& out, KnownNumber& number);

// What the members of a range share: each member is its stem followed by
// digits, and digits hold no operator or parenthesis, so the evaluator's
// path through a member is decided by the stem down to its innermost
// operand. EvaluateStem walks the stem the way the evaluator walks every
// member and tells the walker what it finds on the way.
class StemWalker {
 public:
  enum class Innermost {
    kNumeral,  // prefix and the digits form a numeral, read for its number
    kName,     // prefix (upper case) and the digits name a variable
    kFails,    // every member fails there with "E" (an open quote or call)
  };
  // A chain step on the way down: its operator and its left operand, the
  // same for every member.
  virtual void Enter(Operator op, bool leftOk, const std::string& left, const KnownNumber& leftNumber) = 0;
  virtual void Leave() = 0;
  virtual void Reach(Innermost kind, std::string_view prefix) = 0;

 protected:
  ~StemWalker() = default;
};

// Walks stem as every member stem + digits would be evaluated, at the
// current nesting.
void EvaluateStem(EngineState& engine, std::string_view stem, StemWalker& walker);

}  // namespace vell
