#include "range_members.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>
#include <vector>

#include "evaluator_steps.h"
#include "number_text.h"
#include "term.h"
#include "value_text.h"

namespace vell {

namespace {

// A step between the innermost operand and the whole member: the left
// operand comes from the stem alone, so it is evaluated once.
struct Step {
  Operator op;
  std::string left;
  bool leftOk;
  KnownNumber leftNumber;
};

struct Outcome {
  bool ok;
  double value;
};

// Whole numbers up to this size, and every sum of a million of them, are
// exact in a double.
constexpr double kExact = 0x1p32;

// What a fold met on its way: whether every number was finite, and a whole
// number a double holds exactly.
struct FoldCheck {
  bool finite = true;
  bool whole = true;
  void Note(double x) {
    finite = finite && std::isfinite(x);
    whole = whole && std::fabs(x) <= kExact && x == std::trunc(x);
  }
  bool Exact() const { return finite && whole; }
};

// Whether members read from reading are whole numbers: an optional sign
// and digits before the member's own.
bool IsWholeNumberReading(std::string_view reading) {
  std::size_t i = !reading.empty() && (reading[0] == '+' || reading[0] == '-') ? 1 : 0;
  for (; i < reading.size(); ++i)
    if (reading[i] < '0' || reading[i] > '9') return false;
  return true;
}

void AppendNumber(std::string& text, long long i) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, i);
  text.append(digits, result.ptr);
}

std::size_t DigitCount(long long i) {
  std::size_t count = 1;
  for (; i >= 10; i /= 10) ++count;
  return count;
}

// Whether prefix followed by any length digits reads as the same number.
// Reading is monotonic in such digits (they extend the mantissa or the
// exponent, or are not read at all), so the two extremes decide.
bool ReadAlike(std::string_view prefix, std::size_t length, double& number) {
  std::string low(prefix), high(prefix);
  low.append(length, '0');
  high.append(length, '9');
  const double a = ReadNumber(low), b = ReadNumber(high);
  if (!(a == b) || std::signbit(a) != std::signbit(b)) return false;
  number = a;
  return true;
}

// A prefix that reads, followed by any digits, as prefix does, without what
// weighs nothing: leading white space and all but one of the zeros that lead
// the integer part. (A prefix never ends in a digit, so no zeros lead an
// exponent the member's digits complete.)
std::string ReadingPrefix(std::string_view prefix) {
  std::size_t i = 0;
  while (i < prefix.size() && IsWhiteSpace(prefix[i])) ++i;
  std::string reading;
  if (i < prefix.size() && (prefix[i] == '+' || prefix[i] == '-')) reading.push_back(prefix[i++]);
  const std::size_t zeros = i;
  while (i < prefix.size() && prefix[i] == '0') ++i;
  if (i > zeros) reading.push_back('0');
  reading.append(prefix.substr(i));
  return reading;
}

// The canonical decimal i in [m, n] that name is stem followed by, if any.
bool MemberNumber(std::string_view name, std::string_view stem, std::int32_t m, std::int32_t n, std::int32_t& i) {
  if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) return false;
  const std::string_view digits = name.substr(stem.size());
  if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return false;
  long long v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v < m || v > n) return false;
  i = static_cast<std::int32_t>(v);
  return true;
}

// The evaluator walks the stem as it walks every member (EvaluateStem),
// holding each level's nesting; this layer keeps the steps it passes, then
// evaluates the innermost operand for every member and combines it with the
// steps' left operands on the way out.
class RangeMembers final : public StemWalker {
 public:
  RangeMembers(EngineState& engine, std::int32_t first, std::int32_t last, std::string& slot, bool extremesOnly,
               const MemberVisitor& visit)
      : engine_(engine), first_(first), last_(last), slot_(slot), extremesOnly_(extremesOnly), visit_(visit) {}

  // Each member is an expression of its own: one nesting level.
  void EvaluateMembers(std::string_view stem) {
    stem_ = stem;
    NestingGuard guard(engine_);
    if (guard.TooDeep()) return Same("E", false);
    EvaluateStem(engine_, stem, *this);
  }

  void Enter(Operator op, bool leftOk, const std::string& left, const KnownNumber& leftNumber) override {
    steps_.push_back(Step{op, left, leftOk, leftNumber});
  }
  void Leave() override { steps_.pop_back(); }
  void Reach(Innermost kind, std::string_view prefix) override {
    switch (kind) {
      case Innermost::kNumeral: return EachNumber(prefix);
      case Innermost::kName: return EachLookUp(prefix);
      case Innermost::kFails: {
        // An open quote or call: the member's digits stand where its end should.
        const std::string first = IntegerText(first_);
        NoteReason(engine_,
                   prefix.substr(0, 1) == "\"" ? "missing closing quote in " : "missing closing parenthesis in ",
                   prefix, first);
        return Same("E", false);
      }
    }
  }

 private:
  // The innermost operand, where the evaluator would write it.
  std::string& InnermostSlot() { return steps_.empty() ? slot_ : operand_; }

  // Hands count members' outcome on; false when a failure has cut the
  // evaluation, so that no further member is worth evaluating.
  bool Visit(const Outcome& outcome, long long count, double step = 0.0) {
    visit_(outcome.ok, outcome.value, step, count);
    if (!outcome.ok) NoteFailure(engine_);
    return !engine_.cut;
  }

  // Every member's innermost operand has the same value.
  void Same(const char* value, bool ok) {
    InnermostSlot() = value;
    Visit(Fold(ok, value, KnownNumber()), static_cast<long long>(last_) - first_ + 1);
  }

  void EachLookUp(std::string_view stem) {
    std::string& out = InnermostSlot();
    const long long count = static_cast<long long>(last_) - first_ + 1;
    if (count > static_cast<long long>(engine_.valueMap.Size()) + 16) return EachByScan(stem, out);
    std::string text(stem);
    for (long long i = first_; i <= last_; ++i) {
      text.resize(stem.size());
      AppendNumber(text, i);
      const bool ok = LookUpVariable(engine_, text, out);
      if (!Visit(Fold(ok, out, KnownNumber()), 1)) return;
    }
  }

  // Members whose value matters only as the number it reads as: prefix
  // followed by the member's digits.
  // They are read from a shorter equivalent prefix, and once for all members
  // of one length when those read alike. An empty text stands in for the
  // value: it is no more a date than a numeral is.
  void EachNumber(std::string_view prefix) {
    const std::string reading = ReadingPrefix(prefix);
    for (long long i = first_; i <= last_;) {
      // The members from i on with as many digits.
      long long end = 9;
      while (end < i) end = end * 10 + 9;
      end = std::min<long long>(end, last_);
      const std::size_t length = DigitCount(i);
      double number;
      if (ReadAlike(reading, length, number)) {
        if (!Visit(Fold(true, std::string_view(), KnownNumber{true, number}), end - i + 1)) return;
        i = end + 1;
        continue;
      }
      if (!extremesOnly_ && end - i >= 2 && WholeNumberSteps() && IsWholeNumberReading(reading)) {
        // Whole numbers throughout: the members' numbers and every step's
        // results are exact and change by the same amount from member to
        // member, as long as the ends stay within what a double holds exactly.
        FoldCheck lowCheck, nextCheck, highCheck;
        const Outcome low = FoldMember(reading, i, &lowCheck);
        if (!Visit(low, 1)) return;
        const Outcome next = FoldMember(reading, i + 1, &nextCheck, false);
        const Outcome high = FoldMember(reading, end, &highCheck, false);
        const double step = next.value - low.value;
        if (lowCheck.Exact() && nextCheck.Exact() && highCheck.Exact() && low.ok == next.ok && low.ok == high.ok &&
            high.value == next.value + static_cast<double>(end - i - 1) * step) {
          if (!Visit(next, end - i, step)) return;
          i = end + 1;
          continue;
        }
        ++i;
      }
      if (extremesOnly_ && end - i >= 2 && MonotonicSteps()) {
        // The block's numbers rise or fall with its digits, and so do the
        // steps' results: its extremes are at its ends. Unless a result is
        // not finite or the ends differ in success or sign, every member in
        // between succeeds as they do and is no zero, whose sign could tell.
        FoldCheck check;
        const Outcome low = FoldMember(reading, i, &check);
        if (!Visit(low, 1)) return;
        if (check.finite) {
          const Outcome high = FoldMember(reading, end, &check, false);
          if (check.finite && low.ok == high.ok &&
              ((low.value > 0 && high.value > 0) || (low.value < 0 && high.value < 0))) {
            if (!Visit(high, end - i)) return;
            i = end + 1;
            continue;
          }
        }
        ++i;
      }
      for (; i <= end; ++i)
        if (!Visit(FoldMember(reading, i), 1)) return;
    }
  }

  // Member i's outcome: reading followed by its digits, folded. Digits
  // alone read as the integer they spell, without writing them out.
  Outcome FoldMember(const std::string& reading, long long i, FoldCheck* check = nullptr, bool explain = true) {
    double number = static_cast<double>(i);
    if (!reading.empty()) {
      member_.assign(reading);
      AppendNumber(member_, i);
      number = ReadNumber(member_);
    }
    return Fold(true, std::string_view(), KnownNumber{true, number}, check, explain);
  }

  // Whether every step adds, subtracts or multiplies a whole number.
  bool WholeNumberSteps() const {
    for (const Step& step : steps_) {
      if (step.op != Operator::kAdd && step.op != Operator::kSubtract && step.op != Operator::kMultiply) return false;
      const double left = step.leftNumber.known ? step.leftNumber.value : ReadNumber(step.left);
      if (!(std::fabs(left) <= kExact) || left != std::trunc(left)) return false;
    }
    return true;
  }

  // Whether every step's result rises or falls with its right operand.
  bool MonotonicSteps() const {
    for (const Step& step : steps_) {
      switch (step.op) {
        case Operator::kAdd:
        case Operator::kSubtract:
        case Operator::kMultiply:
        case Operator::kLess:
        case Operator::kGreater:
        case Operator::kLessEqual:
        case Operator::kGreaterEqual: break;
        default: return false;
      }
    }
    return true;
  }

  // Many more members than defined names: the defined members are found by
  // walking the value map, and every missing one has the outcome of the
  // "0.0" a failed look-up gives. When the first failure decides, only the
  // first missing member is named for the sheet's resolution to wait on;
  // else any member of the stem may change the outcome.
  void EachByScan(std::string_view stem, std::string& out) {
    EngineState& engine = engine_;
    std::vector<std::pair<std::int32_t, std::string_view>> members;
    engine.valueMap.ForEach([&](std::string_view name, std::string_view) {
      std::int32_t i;
      if (MemberNumber(name, stem, first_, last_, i)) members.emplace_back(i, name);
    });
    std::sort(members.begin(), members.end());
    bool haveMissing = false;
    Outcome missing{false, 0.0};
    long long i = first_;
    for (std::size_t next = 0; i <= last_;) {
      const long long found = next < members.size() ? members[next].first : static_cast<long long>(last_) + 1;
      if (found > i) {
        if (!haveMissing) {
          if (engine.misses != nullptr) {
            if (engine.stopAtFailure && engine.shielded == 0) {
              std::string name(stem);
              AppendNumber(name, i);
              engine.misses->names.push_back(std::move(name));
            } else {
              engine.misses->stems.emplace_back(stem);
            }
          }
          if (!HasFailureReason(engine)) {
            std::string name(stem);
            AppendNumber(name, i);
            NoteUnknownName(engine, name);
          }
          out = "0.0";
          missing = Fold(false, out, KnownNumber());
          haveMissing = true;
        }
        if (!Visit(missing, found - i)) return;
        i = found;
        continue;
      }
      const bool ok = LookUpVariable(engine_, members[next++].second, out);
      if (!Visit(Fold(ok, out, KnownNumber()), 1)) return;
      ++i;
    }
  }

  // The innermost operand combined with each step's left operand, innermost
  // step first, as the chains would. check, when given, notes the member's
  // number and every step's result; explain tells whether a failure gives
  // its reason.
  Outcome Fold(bool ok, std::string_view value, KnownNumber number, FoldCheck* check = nullptr, bool explain = true) {
    if (check != nullptr && number.known) check->Note(number.value);
    if (steps_.empty()) return Outcome{ok, number.known ? number.value : ReadNumber(value)};
    for (std::size_t k = steps_.size(); k-- > 0;) {
      const Step& step = steps_[k];
      std::string& out = scratch_[k & 1];
      KnownNumber result;
      ok = Combine(step.op, step.left, step.leftNumber.known ? &step.leftNumber.value : nullptr, value, number,
                   step.leftOk && ok, out, result);
      if (check != nullptr) check->Note(result.pending ? result.raw : HUGE_VAL);
      if (!ok && explain && !HasFailureReason(engine_)) ExplainCombine(engine_, step.op, RangeText(), result);
      value = out;  // read only when the number is not known: "E"
      number = result;
    }
    return Outcome{ok, number.value};
  }

  // The range as written from its stem, for a reason that concerns every member.
  std::string RangeText() const {
    std::string text(stem_);
    AppendNumber(text, first_);
    text.push_back(':');
    text.append(stem_);
    AppendNumber(text, last_);
    return text;
  }

  EngineState& engine_;
  std::string_view stem_;
  const std::int32_t first_, last_;
  std::string& slot_;
  const bool extremesOnly_;
  const MemberVisitor& visit_;
  std::vector<Step> steps_;  // outermost first
  std::string member_;
  std::string operand_;
  std::string scratch_[2];
};

}  // namespace

void EvaluateRangeMembers(EngineState& engine, std::string_view stem, std::int32_t first, std::int32_t last,
                          std::string& slot, bool extremesOnly, const MemberVisitor& visit) {
  if (first > last) return;
  RangeMembers members(engine, first, last, slot, extremesOnly, visit);
  members.EvaluateMembers(stem);
}

}  // namespace vell
