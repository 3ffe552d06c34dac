#include "evaluator.h"

#include <cmath>
#include <cstdint>

#include "engine_state.h"
#include "evaluator_steps.h"
#include "number_text.h"
#include "scan_context.h"
#include "term.h"
#include "value_text.h"

namespace vell {

namespace {

// Whether text runs to the end of the stem being walked: the members carry
// on there with their digits.
// An empty view may have no data at all: it is never a stem's open end.
bool IsOpen(const EngineState& e, std::string_view text) {
  return e.stemEnd != nullptr && text.data() + text.size() == e.stemEnd;
}

std::string_view TrimLeft(std::string_view text) {
  std::size_t b = 0;
  while (b < text.size() && IsWhiteSpace(text[b])) ++b;
  return text.substr(b);
}

std::size_t TrimRightEnd(std::string_view text, std::size_t end) {
  while (end > 0 && IsWhiteSpace(text[end - 1])) --end;
  return end;
}

// The operator at position p; "<=" and ">=" move the left end back by one.
Operator OperatorAt(std::string_view text, std::size_t p, std::size_t& leftEnd) {
  leftEnd = p;
  const char c = text[p];
  if (c == '=' && p > 0) {
    if (text[p - 1] == '<') {
      leftEnd = p - 1;
      return Operator::kLessEqual;
    }
    if (text[p - 1] == '>') {
      leftEnd = p - 1;
      return Operator::kGreaterEqual;
    }
  }
  return static_cast<Operator>(c);
}

// A step's result as its text reads, or "E" in out when it is not finite.
bool Rounded(double result, bool ok, std::string& out, KnownNumber& outcome) {
  if (!std::isfinite(result)) {
    out = "E";
    outcome = KnownNumber{true, 0.0, false, result};
    return false;
  }
  outcome = KnownNumber{true, RoundAsWritten(result), true, result};
  return ok;
}

// Combine of two numbers, kept where the chain's loop can inline it.
inline bool CombineNumbers(Operator op, double x, double y, bool ok, std::string& out, KnownNumber& outcome) {
  double result;
  switch (op) {
    case Operator::kAdd: result = x + y; break;
    case Operator::kSubtract: result = x - y; break;
    case Operator::kLess: result = x < y ? 1.0 : 0.0; break;
    case Operator::kGreater: result = x > y ? 1.0 : 0.0; break;
    case Operator::kEqual: result = x == y ? 1.0 : 0.0; break;
    case Operator::kLessEqual: result = x <= y ? 1.0 : 0.0; break;
    case Operator::kGreaterEqual: result = x >= y ? 1.0 : 0.0; break;
    case Operator::kMultiply: result = x * y; break;
    case Operator::kDivide:
      if (y == 0.0) {
        out = "E";
        outcome = KnownNumber{true, 0.0, false, 0.0};
        return false;
      }
      result = x / y;
      break;
    case Operator::kPower: result = std::pow(x, y); break;
    default: result = 0.0; break;
  }
  return Rounded(result, ok, out, outcome);
}

bool Evaluate(EngineState& e, std::string_view text, std::string& out, KnownNumber& number);

// EvaluateTerm, except that a parenthesised term without lower case (which
// upper-casing would change) is evaluated here, so that its number is known.
// Nothing else in such a term is a numeral or keyword; a long text without a
// scan context goes the usual way, which makes one.
bool EvaluateTermKnown(EngineState& e, std::string_view term, std::string& out, KnownNumber& number) {
  if (IsOpen(e, term)) {
    // A member's term ends in a digit: never a parenthesised text.
    std::string upper;
    const StemWalker::Innermost kind = ClassifyStemTerm(term, upper);
    e.stemWalker->Reach(kind, kind == StemWalker::Innermost::kNumeral ? term : std::string_view(upper));
    return false;
  }
  if (term.size() >= 2 && term.front() == '(' && term.back() == ')') {
    // The context of the text the term lies in knows where its lower case is.
    const ScanContext* context = ScanContext::For(e, term);
    if (context != nullptr ? !context->HasLowerAscii(term)
                           : term.size() < ScanContext::kMinLength && !HasLowerAscii(term)) {
      NestingGuard guard(e);
      if (guard.TooDeep()) {
        out = "E";
        return false;
      }
      return Evaluate(e, term.substr(1, term.size() - 2), out, number);
    }
  }
  return EvaluateTerm(e, term, out, &number);
}

// The leftmost term of a chain. A plain numeral (never a date) is only
// read: the first step combines its number and overwrites value.
bool EvaluateBase(EngineState& e, std::string_view term, std::string& value, KnownNumber& number) {
  if (ReadPlainNumeral(term, number.value)) {
    number.known = true;
    return true;
  }
  return EvaluateTermKnown(e, term, value, number);
}

bool EvaluateChain(EngineState& e, std::string_view text, const Positions& ops, const Positions* products,
                   std::string& out, KnownNumber& result);

// A chain's right operand, evaluated as Evaluate would but without scanning
// it again: the chain's scan saw the same depth-0 operators in it (none of
// the chain's own level; the products listed, descending, in products).
// next walks products upwards from the end across the operands, left to
// right. What Evaluate treats before its scan takes the usual way.
bool EvaluateOperand(EngineState& e, std::string_view text, std::string_view operand, const Positions* products,
                     std::size_t& next, std::string& out, KnownNumber& number) {
  const bool open = IsOpen(e, operand);
  const std::string_view t = open ? TrimLeft(operand) : TrimWhiteSpace(operand);
  if (t.empty() || t[0] == '"' || t[0] == '+' || t[0] == '-' || (!open && t.back() == '%'))
    return Evaluate(e, operand, out, number);
  Positions inner(e);
  if (products != nullptr) {
    // The operand's own scan never looks at its first character.
    const std::size_t start = static_cast<std::size_t>(t.data() - text.data());
    const std::size_t stop = start + t.size();
    while (next > 0 && (*products)[next - 1] <= start) --next;
    std::size_t first = next;
    while (first > 0 && (*products)[first - 1] < stop) --first;
    for (std::size_t k = first; k < next; ++k) inner.push_back((*products)[k] - start);
    next = first;
  }
  if (inner.empty()) return EvaluateTermKnown(e, t, out, number);
  return EvaluateChain(e, t, inner, nullptr, out, number);
}

// One precedence level, iteratively: "a op b op c" splits at the rightmost
// operator first, so the left operand is the deep side; walking the split
// points right to left and folding left to right gives the same result
// without recursion. ops holds the level's depth-0 positions, descending.
// text is trimmed, non-empty and does not end in "%". A chain that runs to
// the end of a walked stem hands its last step and its right operand to the
// walker.
bool EvaluateChain(EngineState& e, std::string_view text, const Positions& ops, const Positions* products,
                   std::string& out, KnownNumber& result) {
  ScratchVector<ChainStep> frames(e.stepPool);
  std::size_t end = text.size();
  std::size_t next = 0;
  bool leftEmpty = false;
  std::size_t lastSplit = std::string_view::npos;
  while (true) {
    while (next < ops.size() && ops[next] >= end) ++next;
    if (next == ops.size()) break;
    const std::size_t p = ops[next++];
    std::size_t leftEnd;
    const Operator op = OperatorAt(text, p, leftEnd);
    std::size_t e = TrimRightEnd(text, leftEnd);
    int percent = 0;
    while (e > 0 && text[e - 1] == '%') {
      e = TrimRightEnd(text, e - 1);
      ++percent;
    }
    frames.push_back(ChainStep{static_cast<char>(op), p + 1, end, percent});
    lastSplit = p;
    end = e;
    if (end == 0) {
      leftEmpty = true;
      break;
    }
  }

  // The left value builds up in out itself, starting empty as a fresh text
  // would: a failed or missing left side leaves it so.
  std::string& value = out;
  value.clear();
  bool ok = false;
  KnownNumber left;
  if (lastSplit == 0) {
    // A leading sign: the left operand is an implied "0".
    ok = true;
    left.known = true;
  } else if (!leftEmpty) {
    const std::string_view base = text.substr(0, end);
    if (products != nullptr) {
      Positions inner(e);
      for (std::size_t i = 0; i < products->size(); ++i)
        if ((*products)[i] < end) inner.push_back((*products)[i]);
      ok = inner.empty() ? EvaluateBase(e, base, value, left) : EvaluateChain(e, base, inner, nullptr, value, left);
    } else {
      ok = EvaluateBase(e, base, value, left);
    }
  }
  // After the first step the left value is always number text, whose number
  // is known without reading it back.
  std::string right;
  KnownNumber acc = left;
  if (!ok) {
    if (leftEmpty) NoteMissingOperand(e, frames.back().op, text);
    NoteFailure(e);
    if (e.cut) return false;
  }
  std::size_t nextProduct = products != nullptr ? products->size() : 0;
  for (std::size_t i = frames.size(); i-- > 0;) {
    const ChainStep& f = frames[i];
    if (ok) {
      for (int k = 0; k < f.percentOfLeft; ++k) {
        acc.raw = (acc.known ? acc.value : ReadNumber(value)) * 0.01;
        acc.value = RoundAsWritten(acc.raw);
        acc.known = acc.pending = true;
      }
    }
    if (i == 0 && IsOpen(e, text)) {
      StemWalker& walker = *e.stemWalker;
      walker.Enter(static_cast<Operator>(f.op), ok, value, acc);
      const std::string_view rightText = text.substr(f.rightBegin);
      const std::string_view trimmed = TrimLeft(rightText);
      double unused;
      if (trimmed.empty() || ReadPlainNumeral(trimmed, unused)) {
        walker.Reach(StemWalker::Innermost::kNumeral, trimmed);
      } else {
        std::string right;
        KnownNumber rightNumber;
        EvaluateOperand(e, text, rightText, products, nextProduct, right, rightNumber);
      }
      walker.Leave();
      return false;
    }
    const std::string_view rightText = text.substr(f.rightBegin, f.rightEnd - f.rightBegin);
    const std::string_view trimmed = TrimWhiteSpace(rightText);
    std::string_view rightValue = trimmed;
    bool rightOk = true;
    KnownNumber rightNumber;
    // A plain numeral is never a date: its number is all Combine needs.
    if (ReadPlainNumeral(trimmed, rightNumber.value)) {
      rightNumber.known = true;
    } else {
      right.clear();
      rightOk = EvaluateOperand(e, text, rightText, products, nextProduct, right, rightNumber);
      rightValue = right;
    }
    if (acc.known) {
      const double y = rightNumber.known ? rightNumber.value : ReadNumber(rightValue);
      ok = CombineNumbers(static_cast<Operator>(f.op), acc.value, y, ok && rightOk, value, acc);
    } else {
      ok = Combine(static_cast<Operator>(f.op), value, nullptr, rightValue, rightNumber, ok && rightOk, value, acc);
    }
    if (!ok) {
      if (!HasFailureReason(e)) ExplainCombine(e, static_cast<Operator>(f.op), text.substr(0, f.rightEnd), acc);
      NoteFailure(e);
      if (e.cut) return false;
    }
  }
  result = acc;
  return ok;
}

// The depth-0 operators from the end of text down to position lowest.
void Scan(EngineState& e, std::string_view text, std::size_t lowest, Positions& sums, Positions& products) {
  if (const ScanContext* context = ScanContext::For(e, text)) return context->Operators(text, lowest, sums, products);
  const ScanContext context(e, text);
  context.Operators(text, lowest, sums, products);
}

// Trimmed, non-empty text that does not end in "%".
bool EvaluateCore(EngineState& e, std::string_view text, std::string& out, KnownNumber& number) {
  if (text[0] == '"') {
    // A quoted member ends in a digit, not in its closing quote.
    if (IsOpen(e, text)) {
      e.stemWalker->Reach(StemWalker::Innermost::kFails, text);
      return false;
    }
    if (text.size() < 2) {
      out.clear();
      return true;
    }
    // An unclosed quote is a typing slip, not a text that loses its last character.
    if (text.back() != '"') {
      NoteReason(e, "missing closing quote in ", text);
      out = "E";
      return false;
    }
    out.assign(text.data() + 1, text.size() - 2);
    return true;
  }
  Positions sums(e), products(e);
  if (text[0] == '+' || text[0] == '-') {
    // A leading sign is "0" followed by the text: the sign is the chain's
    // leftmost split. Only unbalanced parentheses can hide it from the scan;
    // that rare text is evaluated with the "0" written out.
    Scan(e, text, 0, sums, products);
    if (!sums.empty() && sums.back() == 0) return EvaluateChain(e, text, sums, &products, out, number);
    std::string signedText;
    signedText.reserve(text.size() + 1);
    signedText.push_back('0');
    signedText.append(text.data(), text.size());
    const ScanContext context(e, signedText);
    if (!IsOpen(e, text)) return EvaluateCore(e, signedText, out, number);
    const char* stemEnd = e.stemEnd;
    e.stemEnd = signedText.data() + signedText.size();
    const bool ok = EvaluateCore(e, signedText, out, number);
    e.stemEnd = stemEnd;
    return ok;
  }
  Scan(e, text, 1, sums, products);
  if (!sums.empty()) return EvaluateChain(e, text, sums, &products, out, number);
  if (!products.empty()) return EvaluateChain(e, text, products, nullptr, out, number);
  return EvaluateTermKnown(e, text, out, number);
}

bool Evaluate(EngineState& e, std::string_view text, std::string& out, KnownNumber& number) {
  if (IsOpen(e, text)) {
    text = TrimLeft(text);
    // Digits alone, or what the evaluator does before its scan.
    if (text.empty()) {
      e.stemWalker->Reach(StemWalker::Innermost::kNumeral, text);
      return false;
    }
    return EvaluateCore(e, text, out, number);
  }
  text = TrimWhiteSpace(text);
  if (text.empty()) return false;
  if (text.back() != '%') return EvaluateCore(e, text, out, number);
  int percent = 0;
  while (!text.empty() && text.back() == '%') {
    text = TrimWhiteSpace(text.substr(0, text.size() - 1));
    ++percent;
  }
  if (text.empty()) {
    NoteReason(e, "missing operand for %");
    return false;
  }
  KnownNumber inner;
  if (!EvaluateCore(e, text, out, inner)) {
    number = inner;  // what the failed text left, pending or not
    return false;
  }
  double x = inner.known ? inner.value : ReadNumber(out);
  for (int i = 0; i < percent; ++i) {
    number.raw = x * 0.01;
    x = RoundAsWritten(number.raw);
  }
  number.known = number.pending = true;
  number.value = x;
  return true;
}

// EvaluateLevel's text, with a scan context when no outer one holds it.
bool EvaluateInContext(EngineState& e, std::string_view text, std::string& out, KnownNumber& number) {
  // The text may be a view of out itself; evaluate a private copy then.
  const char* data = out.data();
  if (!text.empty() && text.data() >= data && text.data() < data + out.size() + 1) {
    const std::string copy(text);
    const ScanContext context(e, copy);
    return Evaluate(e, copy, out, number);
  }
  if (ScanContext::For(e, text) == nullptr) {
    const ScanContext context(e, text);
    return Evaluate(e, text, out, number);
  }
  return Evaluate(e, text, out, number);
}

// One level of the written expression: a call's argument or a parenthesised text.
bool EvaluateLevel(EngineState& e, std::string_view text, std::string& out, KnownNumber& number) {
  NestingGuard guard(e);
  if (guard.TooDeep()) {
    out = "E";
    return false;
  }
  const bool ok = EvaluateInContext(e, text, out, number);
  if (!ok) NoteFailure(e);
  return ok;
}

}  // namespace

bool EvaluateExpression(EngineState& e, std::string_view text, std::string& out) {
  KnownNumber number;
  if (e.nesting > 0) {
    const bool ok = EvaluateLevel(e, text, out, number);
    WritePending(number, out);
    return ok;
  }
  // Past the nesting limit nothing above the cut may go on as if it had a
  // value (a function that maps a failed argument to "E" would hide it), so
  // the whole evaluation fails.
  e.cut = e.tooDeep = false;
  e.failure.level = FailureNote::kNone;
  e.rangeOutcomes.clear();
  const bool ok = EvaluateLevel(e, text, out, number);
  WritePending(number, out);
  if (!e.cut) return ok;
  const bool tooDeep = e.tooDeep;
  e.cut = e.tooDeep = false;
  if (tooDeep) out = "E";
  return false;
}

namespace {

// Why text gave out with success flag ok and no value, into engine.lastFailure.
[[gnu::cold]] void Explain(EngineState& e, bool ok, std::string_view text) {
  if (!ok) return ExplainFailure(e, e.lastFailure);
  // "E" with success: evaluated again, now with the functions that store "E"
  // saying why. Nothing else changes: the evaluation only reads.
  std::string again;
  e.failure.explainValues = true;
  EvaluateExpression(e, text, again);
  e.failure.explainValues = false;
  if (e.failure.level == FailureNote::kNone) {
    e.lastFailure = "the value E comes from a variable or a quoted text";
  } else {
    e.lastFailure.assign(e.failure.Reason());
  }
}

// EvaluateExplained of a text that lies in out, which the evaluation rewrites.
[[gnu::cold, gnu::noinline]] bool EvaluateCopyExplained(EngineState& e, std::string_view text, std::string& out) {
  const std::string copy(text);
  return EvaluateExplained(e, copy, out);
}

}  // namespace

bool EvaluateExplained(EngineState& e, std::string_view text, std::string& out) {
  if (reinterpret_cast<std::uintptr_t>(text.data()) - reinterpret_cast<std::uintptr_t>(out.data()) <= out.size())
    return EvaluateCopyExplained(e, text, out);
  const bool ok = EvaluateExpression(e, text, out);
  if (IsValue(ok, out)) {
    e.lastFailure.clear();
  } else {
    Explain(e, ok, text);
  }
  return ok;
}

bool EvaluateArgument(EngineState& e, std::string_view text, std::string& out, KnownNumber& number) {
  if (e.nesting == 0) return EvaluateExpression(e, text, out);
  return EvaluateLevel(e, text, out, number);
}

void EvaluateStem(EngineState& e, std::string_view stem, StemWalker& walker) {
  const char* stemEnd = e.stemEnd;
  StemWalker* outer = e.stemWalker;
  e.stemEnd = stem.data() + stem.size();
  e.stemWalker = &walker;
  std::string unused;
  KnownNumber number;
  Evaluate(e, stem, unused, number);
  e.stemEnd = stemEnd;
  e.stemWalker = outer;
}

bool Combine(Operator op, const std::string& left, const double* leftNumber, std::string_view right,
             const KnownNumber& rightNumber, bool ok, std::string& out, KnownNumber& outcome) {
  // A known number's text is never a date.
  if (leftNumber == nullptr && !rightNumber.known && IsDate(left) && IsDate(right))
    return Rounded(CompareDates(left, right, op), ok, out, outcome);
  return CombineNumbers(op, leftNumber != nullptr ? *leftNumber : ReadNumber(left),
                        rightNumber.known ? rightNumber.value : ReadNumber(right), ok, out, outcome);
}

void ExplainCombine(EngineState& e, Operator op, std::string_view where, const KnownNumber& result) {
  if (HasFailureReason(e)) return;
  // Combine leaves a number pending unless it wrote "E".
  if (result.pending) return NoteMissingOperand(e, static_cast<char>(op), where);
  if (result.raw == 0.0) return NoteReason(e, "division by zero in ", where);
  NoteReason(e, "no finite result for ", where);
}

double CompareDates(std::string_view left, std::string_view right, Operator op) {
  std::int32_t d1, m1, y1, d2, m2, y2;
  ParseDate(left, d1, m1, y1);
  ParseDate(right, d2, m2, y2);
  int order = 0;
  if (y1 != y2) {
    order = y1 < y2 ? -1 : 1;
  } else if (m1 != m2) {
    order = m1 < m2 ? -1 : 1;
  } else if (d1 != d2) {
    order = d1 < d2 ? -1 : 1;
  }
  switch (op) {
    case Operator::kLess: return order < 0 ? 1.0 : 0.0;
    case Operator::kGreater: return order > 0 ? 1.0 : 0.0;
    case Operator::kEqual: return order == 0 ? 1.0 : 0.0;
    case Operator::kLessEqual: return order <= 0 ? 1.0 : 0.0;
    case Operator::kGreaterEqual: return order >= 0 ? 1.0 : 0.0;
    default: return 0.0;
  }
}

}  // namespace vell
