#include "list_functions.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine_state.h"
#include "evaluator.h"
#include "number_text.h"
#include "term.h"
#include "value_text.h"

namespace vell {

namespace {

enum class Aggregate { kSum, kMin, kMax };

double Fold(Aggregate kind, double running, double v) {
  if (kind == Aggregate::kMin) return v < running ? v : running;
  return v > running ? v : running;
}

// A stem whose members "S1", "S2" ... evaluate as plain variable look-ups:
// nothing trims it (no white space first), makes it quoted text or a signed
// text (no '"', '+' or '-' first), splits it (no operator after the first
// character, which the operator scan never examines; no parentheses), makes
// it a call or a parenthesised term (no '(') or reads as a numeral (some
// character other than digits and '.'). The members end in digits, so a
// trailing '%' never applies.
bool IsPlainStem(std::string_view stem) {
  if (stem.empty()) return false;
  const char first = stem[0];
  if (IsWhiteSpace(first) || first == '"' || first == '+' || first == '-') return false;
  bool numeral = true;
  for (std::size_t k = 0; k < stem.size(); ++k) {
    const char c = stem[k];
    switch (c) {
      case '(': case ')':
        return false;
      case '+': case '-': case '<': case '=': case '>': case '*': case '/': case '^':
        if (k > 0) return false;
        break;
      default:
        break;
    }
    if (!((c >= '0' && c <= '9') || c == '.')) numeral = false;
  }
  return !numeral;
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

// A large range over a plain stem: its defined members are found by walking
// the value map instead of trying every name, so a million-member range over
// a small sheet stays cheap. Gives what trying every name in order gives.
bool AggregateByScan(Aggregate kind, const std::string& stem, std::int32_t m, std::int32_t n,
                     long long count, std::string& out) {
  EngineState& engine = Engine();
  std::vector<std::pair<std::int32_t, std::string_view>> members;
  engine.valueMap.ForEach([&](std::string_view name, const std::string&) {
    std::int32_t i;
    if (MemberNumber(name, stem, m, n, i)) members.emplace_back(i, name);
  });
  std::sort(members.begin(), members.end());
  const bool complete = static_cast<long long>(members.size()) == count;
  if (!complete && engine.misses != nullptr) engine.misses->stems.push_back(stem);

  double running = 0.0;
  bool first = true;
  std::string value;
  for (const auto& member : members) {
    LookUpVariable(member.second, value);
    const double v = ReadNumber(value);
    if (kind == Aggregate::kSum) {
      running += v;
    } else {
      running = first ? v : Fold(kind, running, v);
      first = false;
    }
  }
  // Every missing member reads as the 0 of "0.0".
  if (kind != Aggregate::kSum && !complete) running = first ? 0.0 : Fold(kind, running, 0.0);
  FormatNumber(running, out);
  return complete;
}

bool EvaluateRange(std::string_view term, std::size_t keywordLength, Aggregate kind, std::string& out) {
  const std::string_view args = ArgumentText(term, keywordLength);
  const std::size_t colon = args.find(':');
  const std::string_view first = colon == std::string_view::npos ? std::string_view() : args.substr(0, colon);
  const std::string_view last = colon == std::string_view::npos ? args : args.substr(colon + 1);
  std::string stem, lastStem;
  const std::int32_t m = SplitTrailingNumber(first, stem);
  const std::int32_t n = SplitTrailingNumber(last, lastStem);
  if (!EqualsIgnoringCase(stem, lastStem)) {
    out = "0";
    return false;
  }
  const long long count = m > n ? 0 : static_cast<long long>(n) - m + 1;
  if (count > kMaxRangeMembers) {
    out = "0";
    return false;
  }

  EngineState& engine = Engine();
  const bool plain = IsPlainStem(stem) && engine.nesting < kMaxNesting;
  if (plain && count > static_cast<long long>(engine.valueMap.Size()) + 16)
    return AggregateByScan(kind, stem, m, n, count, out);

  bool ok = true;
  double running = 0.0;
  std::string name, value;
  for (long long i = m; i <= n; ++i) {
    name.assign(stem).append(IntegerText(i));
    std::string& slot = kind == Aggregate::kSum ? value : out;
    if (kind == Aggregate::kSum) value.clear();
    const bool memberOk = plain ? LookUpVariable(name, slot) : EvaluateExpression(name, slot);
    if (kind == Aggregate::kSum) {
      if (memberOk) running += ReadNumber(value);
    } else {
      const double v = ReadNumber(out);
      running = i == m ? v : Fold(kind, running, v);
    }
    if (!memberOk) ok = false;
  }
  FormatNumber(running, out);
  return ok;
}

bool EvaluateList(std::string_view term, std::size_t keywordLength, Aggregate kind, std::string& out) {
  if (term.find(':') != std::string_view::npos) return EvaluateRange(term, keywordLength, kind, out);
  std::vector<std::string_view> items;
  SplitArguments(ArgumentText(term, keywordLength), items);
  bool ok = true;
  double running = 0.0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!EvaluateExpression(items[i], out)) ok = false;
    const double v = ReadNumber(out);
    running = i == 0 ? v : Fold(kind, running, v);
  }
  FormatNumber(running, out);
  return ok;
}

}  // namespace

bool EvaluateIf(std::string_view term, std::string& out) {
  std::size_t commas[2];
  int found = 0;
  long depth = 0;
  for (std::size_t i = term.size() >= 2 ? term.size() - 2 : 0; i >= 1 && found < 2; --i) {
    const char c = term[i];
    if (c == ')') {
      ++depth;
    } else if (c == '(') {
      --depth;
    } else if (c == ',' && depth == 0) {
      commas[found++] = i;
    }
  }
  if (found < 2) {
    out = "0.0";
    return false;
  }
  const std::size_t thenEnd = commas[0], conditionEnd = commas[1];
  const std::size_t start = 3;  // after "IF("
  const std::string_view condition = term.substr(start, conditionEnd > start ? conditionEnd - start : 0);
  std::string conditionValue;
  const bool conditionOk = EvaluateExpression(condition, conditionValue);
  const bool branchOk =
      ReadNumber(conditionValue) == 1.0
          ? EvaluateExpression(term.substr(conditionEnd + 1, thenEnd - conditionEnd - 1), out)
          : EvaluateExpression(term.substr(thenEnd + 1, term.size() - 1 - (thenEnd + 1)), out);
  return conditionOk && branchOk;
}

bool EvaluateAnd(std::string_view term, std::string& out) {
  std::vector<std::string_view> items;
  SplitArguments(ArgumentText(term, 4), items);
  bool ok = true;
  for (std::string_view item : items) {
    if (!EvaluateExpression(item, out)) ok = false;
    if (ReadNumber(out) == 0.0) {
      out = "0.0";
      return ok;
    }
  }
  out = "1.0";
  return ok;
}

bool EvaluateOr(std::string_view term, std::string& out) {
  std::vector<std::string_view> items;
  SplitArguments(ArgumentText(term, 3), items);
  bool ok = true;
  for (std::string_view item : items) {
    if (!EvaluateExpression(item, out)) ok = false;
    if (ReadNumber(out) == 1.0) {
      out = "1.0";
      return ok;
    }
  }
  out = "0.0";
  return ok;
}

bool EvaluateMin(std::string_view term, std::string& out) { return EvaluateList(term, 4, Aggregate::kMin, out); }
bool EvaluateMax(std::string_view term, std::string& out) { return EvaluateList(term, 4, Aggregate::kMax, out); }
bool EvaluateSum(std::string_view term, std::string& out) { return EvaluateRange(term, 4, Aggregate::kSum, out); }

bool EvaluateRound(std::string_view term, std::string& out) {
  std::vector<std::string_view> items;
  SplitArguments(ArgumentText(term, 6), items);
  if (items.size() != 2) {
    out = "0.0";
    return false;
  }
  bool ok = EvaluateExpression(items[0], out);
  const double x = ReadNumber(out);
  if (!EvaluateExpression(items[1], out)) ok = false;
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
  return std::trunc(std::trunc(q) * step);
}

}  // namespace vell
