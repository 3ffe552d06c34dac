#include "functions.h"

#include <cmath>

#include "date_functions.h"
#include "engine_state.h"
#include "evaluator.h"
#include "evaluator_steps.h"
#include "failure_note.h"
#include "list_functions.h"
#include "number_text.h"
#include "scan_context.h"

namespace vell {

namespace {

double ToRadians(double degrees) { return (degrees * kAngleConstant) * kOneOver180; }
double ToDegrees(double radians) { return (radians * 180.0) / kAngleConstant; }

constexpr Function Number(std::string_view keyword, double (*f)(double)) {
  return {keyword, ArgumentForm::kNumber, f, nullptr, nullptr};
}
constexpr Function NonNegative(std::string_view keyword, double (*f)(double)) {
  return {keyword, ArgumentForm::kNonNegativeNumber, f, nullptr, nullptr};
}
constexpr Function Two(std::string_view keyword, double (*f)(double, double)) {
  return {keyword, ArgumentForm::kTwoNumbers, nullptr, f, nullptr};
}
constexpr Function List(std::string_view keyword, ListHandler handler) {
  return {keyword, ArgumentForm::kList, nullptr, nullptr, handler};
}

// A non-finite result is written as "E" and still succeeds.
constexpr Function kFunctions[] = {
    List("IF(", EvaluateIf),
    Number("SIN(", [](double x) { return std::sin(ToRadians(x)); }),
    Number("COS(", [](double x) { return std::cos(ToRadians(x)); }),
    Number("TAN(", [](double x) { return std::tan(ToRadians(x)); }),
    Number("ASIN(", [](double x) { return ToDegrees(std::asin(x)); }),
    Number("ACOS(", [](double x) { return ToDegrees(std::acos(x)); }),
    Number("ATAN(", [](double x) { return ToDegrees(std::atan(x)); }),
    NonNegative("SQRT(", [](double x) { return std::sqrt(x); }),
    Number("SQR(", [](double x) { return x * x; }),
    Number("LOG(", [](double x) { return std::log(x); }),
    Number("LN(", [](double x) { return std::log(x); }),
    Number("LOG10(", [](double x) { return std::log10(x); }),
    Number("EXP(", [](double x) { return std::exp(x); }),
    Number("ALOG(", [](double x) { return std::exp(x); }),
    Number("ALOG10(", [](double x) { return std::pow(10.0, x); }),
    Number("POW10(", [](double x) { return std::pow(10.0, x); }),
    Two("POW(", [](double a, double b) { return std::pow(a, b); }),
    Two("NROOT(", [](double a, double b) { return std::pow(a, 1.0 / b); }),
    List("SUM(", EvaluateSum),
    List("ROUND(", EvaluateRound),
    List("OR(", EvaluateOr),
    List("AND(", EvaluateAnd),
    List("MIN(", EvaluateMin),
    List("MAX(", EvaluateMax),
    List("DAYS360(", EvaluateDays360),
    List("DATE(", EvaluateDate),
    List("DAY(", EvaluateDay),
};

// The number of the call f(arguments): "E" when it is not finite, else its
// text, or with number the text left pending.
bool Finish(EngineState& engine, const Function& f, std::string_view arguments, double y, std::string& out,
            KnownNumber* number) {
  if (!std::isfinite(y)) {
    NoteValueE(engine, "no finite result for ", f.keyword, arguments, ")");
    out = "E";
    if (number != nullptr) *number = KnownNumber();
    return true;
  }
  if (number == nullptr) {
    FormatNumber(y, out);
  } else {
    *number = KnownNumber{true, RoundAsWritten(y), true, y};
  }
  return true;
}

// POW and NROOT: the first comma splits, whatever parentheses surround it.
bool CallTwoNumbers(EngineState& engine, const Function& f, std::string_view arguments, std::string& out,
                    KnownNumber* number) {
  const ScanContext* context =
      arguments.size() >= ScanContext::kMinLength ? ScanContext::For(engine, arguments) : nullptr;
  const std::size_t comma = context != nullptr ? context->FindComma(arguments) : arguments.find(',');
  if (comma == std::string_view::npos || comma == 0) {
    NoteValueE(engine, "missing argument in ", f.keyword, arguments, ")");
    out = "E";
    return true;
  }
  std::string first, second;
  KnownNumber a, b;
  // A failed operand becomes "E" with success: no failure inside decides a line.
  const bool explained = HasFailureReason(engine);
  ++engine.shielded;
  const bool ok = EvaluateArgument(engine, arguments.substr(0, comma), first, a) &&
                  EvaluateArgument(engine, arguments.substr(comma + 1), second, b);
  --engine.shielded;
  if (!ok) {
    // The operand's failure, if it names one, is why the value is "E".
    if (!explained && HasFailureReason(engine)) engine.failure.level = FailureNote::kValueE;
    NoteValueE(engine, "missing argument in ", f.keyword, arguments, ")");
    out = "E";
    return true;
  }
  return Finish(engine, f, arguments,
                f.two(a.known ? a.value : ReadNumber(first), b.known ? b.value : ReadNumber(second)), out, number);
}

// A call failed without a reason: only an empty argument or item does.
[[gnu::cold]] void NoteMissingArgument(EngineState& engine, const Function& f, std::string_view arguments) {
  if (!HasFailureReason(engine)) NoteReason(engine, "missing argument in ", f.keyword, arguments, ")");
}

// After a call of a list function: one that failed without a reason had an
// empty item; one that gave "E" with success, while values are explained,
// had no finite result (unless what it evaluated said why first).
[[gnu::cold]] void ExplainListCall(EngineState& engine, const Function& f, std::string_view arguments, bool ok,
                                   const std::string& out) {
  if (!ok) {
    NoteMissingArgument(engine, f, arguments);
  } else if (out == "E") {
    NoteValueE(engine, "no finite result for ", f.keyword, arguments, ")");
  }
}

}  // namespace

const Function* FunctionsBegin() { return std::begin(kFunctions); }
const Function* FunctionsEnd() { return std::end(kFunctions); }

const Function* FindFunction(std::string_view term) {
  if (term.empty()) return nullptr;
  for (const Function& f : kFunctions) {
    if (f.keyword[0] == term[0] && term.size() >= f.keyword.size() && term.compare(0, f.keyword.size(), f.keyword) == 0)
      return &f;
  }
  return nullptr;
}

bool CallFunction(EngineState& engine, const Function& f, std::string_view arguments, std::string& out,
                  KnownNumber* number) {
  if (f.form == ArgumentForm::kList) {
    const bool ok = f.list(engine, arguments, out);
    if (!ok || engine.failure.explainValues) ExplainListCall(engine, f, arguments, ok, out);
    return ok;
  }
  if (f.form == ArgumentForm::kTwoNumbers) return CallTwoNumbers(engine, f, arguments, out, number);
  KnownNumber argument;
  if (!EvaluateArgument(engine, arguments, out, argument)) {
    NoteMissingArgument(engine, f, arguments);
    // What the failed argument left stays observable.
    if (number != nullptr) {
      *number = argument;
    } else {
      WritePending(argument, out);
    }
    return false;
  }
  const double x = argument.known ? argument.value : ReadNumber(out);
  if (f.form == ArgumentForm::kNonNegativeNumber && x < 0) {
    NoteReason(engine, "square root of a negative number in ", f.keyword, arguments, ")");
    out = "E";
    return false;
  }
  return Finish(engine, f, arguments, f.one(x), out, number);
}

}  // namespace vell
