#include "reference_evaluation.h"

#include <cmath>

#include "evaluator.h"
#include "number_text.h"
#include "term.h"
#include "value_text.h"

namespace vell::testing {

namespace {

bool IsAdditive(char c) { return c == '+' || c == '-' || c == '<' || c == '=' || c == '>'; }
bool IsMultiplicative(char c) { return c == '*' || c == '/' || c == '^'; }

// Combines two evaluated sides as the operator table says.
bool Combine(char op, const std::string& left, const std::string& right, bool ok, std::string& out) {
  double r;
  if (IsDate(left) && IsDate(right)) {
    r = CompareDates(left, right, static_cast<Operator>(op));
  } else {
    const double x = ReadNumber(left), y = ReadNumber(right);
    switch (op) {
      case '+': r = x + y; break;
      case '-': r = x - y; break;
      case '<': r = x < y; break;
      case '>': r = x > y; break;
      case '=': r = x == y; break;
      case 'l': r = x <= y; break;
      case 'g': r = x >= y; break;
      case '*': r = x * y; break;
      case '/':
        if (y == 0) {
          out = "E";
          return false;
        }
        r = x / y;
        break;
      default: r = std::pow(x, y); break;
    }
  }
  if (!std::isfinite(r)) {
    out = "E";
    return false;
  }
  FormatNumber(r, out);
  return ok;
}

// Where the operator at p starts and which it is: "<=" and ">=" as 'l', 'g'.
char OperatorAt(std::string_view text, std::size_t p, std::size_t& leftEnd) {
  leftEnd = p;
  if (text[p] == '=' && p > 0 && (text[p - 1] == '<' || text[p - 1] == '>')) {
    leftEnd = p - 1;
    return text[p - 1] == '<' ? 'l' : 'g';
  }
  return text[p];
}

bool RecursiveApply(EngineState& engine, std::string_view text, std::size_t p, std::string& out) {
  std::size_t leftEnd;
  const char op = OperatorAt(text, p, leftEnd);
  std::string left, right;
  const bool ok =
      RecursiveEvaluate(engine, text.substr(0, leftEnd), left) & RecursiveEvaluate(engine, text.substr(p + 1), right);
  return Combine(op, left, right, ok, out);
}

}  // namespace

std::size_t FindOperator(std::string_view text, OperatorLevel level) {
  long depth = 0;
  for (std::size_t i = text.size(); i-- > 1;) {
    const char c = text[i];
    if (c == ')') {
      ++depth;
    } else if (c == '(') {
      --depth;
    } else if (depth == 0 && (level == OperatorLevel::kAdditive ? IsAdditive(c) : IsMultiplicative(c))) {
      return i;
    }
  }
  return kNoPosition;
}

bool ApplyOperator(EngineState& engine, std::string_view text, std::size_t position, std::string& out) {
  std::size_t leftEnd;
  const char op = OperatorAt(text, position, leftEnd);
  std::string left, right;
  const bool leftOk = EvaluateExpression(engine, text.substr(0, leftEnd), left);
  const bool rightOk = EvaluateExpression(engine, text.substr(position + 1), right);
  return Combine(op, left, right, leftOk && rightOk, out);
}

bool RecursiveEvaluate(EngineState& engine, std::string_view text, std::string& out) {
  text = TrimWhiteSpace(text);
  if (text.empty()) return false;
  if (text.back() == '%') {
    if (!RecursiveEvaluate(engine, text.substr(0, text.size() - 1), out)) return false;
    FormatNumber(ReadNumber(out) * 0.01, out);
    return true;
  }
  if (text[0] == '"') {
    if (text.size() >= 2 && text.back() != '"') {
      out = "E";
      return false;
    }
    out = std::string(text.substr(1, text.size() >= 2 ? text.size() - 2 : 0));
    return true;
  }
  if (text[0] == '+' || text[0] == '-') return RecursiveEvaluate(engine, "0" + std::string(text), out);
  std::size_t p = FindOperator(text, OperatorLevel::kAdditive);
  if (p == kNoPosition) p = FindOperator(text, OperatorLevel::kMultiplicative);
  if (p != kNoPosition) return RecursiveApply(engine, text, p, out);
  if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    std::string upper(text.substr(1, text.size() - 2));
    ToUpperAscii(upper);
    return RecursiveEvaluate(engine, upper, out);
  }
  return EvaluateTerm(engine, text, out);
}

}  // namespace vell::testing
