#include "reference_evaluation.h"

#include <cmath>

#include "vell_engine.h"

namespace vell::testing {

namespace {

bool RecursiveApply(std::string_view text, std::size_t p, std::string& out) {
  std::size_t leftEnd = p;
  char op = text[p];
  if (op == '=' && text[p - 1] == '<') {
    op = 'l';
    leftEnd = p - 1;
  } else if (op == '=' && text[p - 1] == '>') {
    op = 'g';
    leftEnd = p - 1;
  }
  std::string left, right;
  const bool ok = RecursiveEvaluate(text.substr(0, leftEnd), left) & RecursiveEvaluate(text.substr(p + 1), right);
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

}  // namespace

bool RecursiveEvaluate(std::string_view text, std::string& out) {
  text = TrimWhiteSpace(text);
  if (text.empty()) return false;
  if (text.back() == '%') {
    if (!RecursiveEvaluate(text.substr(0, text.size() - 1), out)) return false;
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
  if (text[0] == '+' || text[0] == '-') return RecursiveEvaluate("0" + std::string(text), out);
  std::size_t p = FindOperator(text, OperatorLevel::kAdditive);
  if (p == kNoPosition) p = FindOperator(text, OperatorLevel::kMultiplicative);
  if (p != kNoPosition) return RecursiveApply(text, p, out);
  if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    std::string upper(text.substr(1, text.size() - 2));
    ToUpperAscii(upper);
    return RecursiveEvaluate(upper, out);
  }
  return EvaluateTerm(text, out);
}

}  // namespace vell::testing
