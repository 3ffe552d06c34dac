#include "list_functions.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "engine_state.h"
#include "evaluator.h"
#include "failure_note.h"
#include "number_text.h"
#include "range_members.h"
#include "scan_context.h"
#include "term.h"
#include "value_text.h"

namespace vell {

namespace {

enum class Aggregate { kSum, kMin, kMax };

std::string_view Keyword(Aggregate kind) {
  switch (kind) {
    case Aggregate::kSum: return "SUM(";
    case Aggregate::kMin: return "MIN(";
    case Aggregate::kMax: return "MAX(";
  }
  return {};
}

double Fold(Aggregate kind, double running, double v) {
  if (kind == Aggregate::kMin) return v < running ? v : running;
  return v > running ? v : running;
}

// running plus count values value, value + step, ..., added one by one as
// rounding demands. Whole numbers up to 2^52 add exactly, so a sum of them
// that stays there is worked out at once.
double AddRun(double running, double value, double step, long long count) {
  if (step != 0.0 && std::fabs(running) <= 0x1p52 && running == std::trunc(running)) {
    const auto first = static_cast<long long>(value), by = static_cast<long long>(step);
    const long long pairs = count * (count - 1) / 2;  // exact: one of the two is even
    const long long sum = count * first + by * pairs;
    return running + static_cast<double>(sum);
  }
  for (long long k = 0; k < count; ++k) running += value + static_cast<double>(k) * step;
  return running;
}

bool EvaluateRange(EngineState& engine, std::string_view args, Aggregate kind, std::string& out) {
  const std::size_t colon = args.find(':');
  const std::string_view first = colon == std::string_view::npos ? std::string_view() : args.substr(0, colon);
  const std::string_view last = colon == std::string_view::npos ? args : args.substr(colon + 1);
  std::string stem, lastStem;
  const std::int32_t m = SplitTrailingNumber(first, stem);
  const std::int32_t n = SplitTrailingNumber(last, lastStem);
  if (!EqualsIgnoringCase(stem, lastStem)) {
    NoteReason(engine,
               colon == std::string_view::npos ? "not a range such as A1:A9 in " : "range ends do not match in ",
               Keyword(kind), args, ")");
    out = "0";
    return false;
  }
  const long long count = m > n ? 0 : static_cast<long long>(n) - m + 1;
  if (count > kMaxRangeMembers) {
    const std::string limit = IntegerText(kMaxRangeMembers);
    NoteReason(engine, "range of more than ", limit, " names: ", args);
    out = "0";
    return false;
  }

  // The same range again in one evaluation gives the same outcome: walk it
  // once. A sheet line's walk also tells the resolution what it waits for,
  // so those are always walked.
  const bool remember = engine.misses == nullptr && !engine.stopAtFailure;
  std::string key;
  if (remember) {
    key.push_back(static_cast<char>(kind));
    key.append(std::to_string(engine.nesting)).push_back(':');
    key.append(args).push_back('\0');
    if (kind != Aggregate::kSum) key.append(out);
    const auto known = engine.rangeOutcomes.find(key);
    if (known != engine.rangeOutcomes.end()) {
      out = known->second.out;
      if (!known->second.reason.empty()) RestoreReason(engine, known->second.reason);
      return known->second.ok;
    }
  }

  bool ok = true;
  bool firstMember = true;
  double running = 0.0;
  // SUM reads a member only when it succeeded and gives each a fresh text;
  // MIN and MAX read what every member left in out.
  std::string value;
  EvaluateRangeMembers(engine, stem, m, n, kind == Aggregate::kSum ? value : out, kind != Aggregate::kSum,
                       [&](bool memberOk, double v, double step, long long count) {
                         if (kind == Aggregate::kSum) {
                           if (memberOk) running = AddRun(running, v, step, count);
                         } else {
                           // Folding a value again changes nothing, and a run's
                           // extremes are its ends.
                           running = firstMember ? v : Fold(kind, running, v);
                           if (count > 1 && step != 0.0)
                             running = Fold(kind, running, v + static_cast<double>(count - 1) * step);
                           firstMember = false;
                         }
                         if (!memberOk) ok = false;
                       });
  FormatNumber(running, out);
  if (remember && !engine.cut)
    engine.rangeOutcomes.emplace(
        std::move(key),
        RangeOutcome{ok, out,
                     std::string(ok || !HasFailureReason(engine) ? std::string_view() : engine.failure.Reason())});
  return ok;
}

bool EvaluateList(EngineState& engine, std::string_view args, Aggregate kind, std::string& out) {
  // The keyword and the closing ")" hold no ':', so the arguments decide.
  if (args.find(':') != std::string_view::npos) return EvaluateRange(engine, args, kind, out);
  std::vector<std::string_view> items;
  SplitArguments(engine, args, items);
  bool ok = true;
  double running = 0.0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!EvaluateExpression(engine, items[i], out)) ok = false;
    const double v = ReadNumber(out);
    running = i == 0 ? v : Fold(kind, running, v);
  }
  FormatNumber(running, out);
  return ok;
}

}  // namespace

bool EvaluateIf(EngineState& engine, std::string_view args, std::string& out) {
  // The two rightmost commas at depth 0 (the keyword holds none).
  // Over a long text a group met at depth 0 or more is skipped whole, as
  // SplitArguments does.
  const ScanContext* context = args.size() >= ScanContext::kMinLength ? ScanContext::For(engine, args) : nullptr;
  std::size_t commas[2];
  int found = 0;
  long depth = 0;
  for (std::size_t i = args.size(); i-- > 0 && found < 2;) {
    const char c = args[i];
    if (c == ')') {
      if (context != nullptr && depth >= 0) {
        const char* partner = context->PartnerOf(args.data() + i);
        if (partner == nullptr || partner < args.data()) break;
        i = static_cast<std::size_t>(partner - args.data());
        continue;
      }
      ++depth;
    } else if (c == '(') {
      --depth;
    } else if (c == ',' && depth == 0) {
      commas[found++] = i;
    }
  }
  if (found < 2) {
    NoteReason(engine, "wrong number of arguments in IF(", args, ")");
    out = "0.0";
    return false;
  }
  const std::size_t thenEnd = commas[0], conditionEnd = commas[1];
  std::string conditionValue;
  const bool conditionOk = EvaluateExpression(engine, args.substr(0, conditionEnd), conditionValue);
  const bool branchOk = ReadNumber(conditionValue) == 1.0
                            ? EvaluateExpression(engine, args.substr(conditionEnd + 1, thenEnd - conditionEnd - 1), out)
                            : EvaluateExpression(engine, args.substr(thenEnd + 1), out);
  return conditionOk && branchOk;
}

bool EvaluateAnd(EngineState& engine, std::string_view args, std::string& out) {
  std::vector<std::string_view> items;
  SplitArguments(engine, args, items);
  bool ok = true;
  for (std::string_view item : items) {
    if (!EvaluateExpression(engine, item, out)) ok = false;
    if (ReadNumber(out) == 0.0) {
      out = "0.0";
      return ok;
    }
  }
  out = "1.0";
  return ok;
}

bool EvaluateOr(EngineState& engine, std::string_view args, std::string& out) {
  std::vector<std::string_view> items;
  SplitArguments(engine, args, items);
  bool ok = true;
  for (std::string_view item : items) {
    if (!EvaluateExpression(engine, item, out)) ok = false;
    if (ReadNumber(out) == 1.0) {
      out = "1.0";
      return ok;
    }
  }
  out = "0.0";
  return ok;
}

bool EvaluateMin(EngineState& engine, std::string_view args, std::string& out) {
  return EvaluateList(engine, args, Aggregate::kMin, out);
}
bool EvaluateMax(EngineState& engine, std::string_view args, std::string& out) {
  return EvaluateList(engine, args, Aggregate::kMax, out);
}
bool EvaluateSum(EngineState& engine, std::string_view args, std::string& out) {
  return EvaluateRange(engine, args, Aggregate::kSum, out);
}

bool EvaluateRound(EngineState& engine, std::string_view args, std::string& out) {
  std::vector<std::string_view> items;
  SplitArguments(engine, args, items);
  if (items.size() != 2) {
    NoteReason(engine, "wrong number of arguments in ROUND(", args, ")");
    out = "0.0";
    return false;
  }
  bool ok = EvaluateExpression(engine, items[0], out);
  const double x = ReadNumber(out);
  if (!EvaluateExpression(engine, items[1], out)) ok = false;
  const double n = ReadNumber(out);
  double y = x;
  if (n == 0.0) {
    y = RoundToStep(x, 1.0);
  } else if (n == -1.0) {
    y = RoundToStep(x, 10.0);
  } else if (n == -2.0) {
    y = RoundToStep(x, 100.0);
  }
  FormatNumber(y, out);
  return ok;
}

double RoundToStep(double x, double step) {
  const double h = step * 0.5;
  const double q = x >= 0 ? (x + h) / step : (x - h) / step;
  // A whole number has no negative zero: + 0.0 turns -0 into 0.
  return std::trunc(std::trunc(q) * step) + 0.0;
}

}  // namespace vell
