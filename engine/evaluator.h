// The expression evaluator: splits a text at its loosest operator and
// combines the value texts of both sides.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vell {

// The operator characters, plus the two that "<=" and ">=" become.
enum class Operator : char {
  kAdd = '+',
  kSubtract = '-',
  kLess = '<',
  kGreater = '>',
  kEqual = '=',
  kLessEqual = 'l',
  kGreaterEqual = 'g',
  kMultiply = '*',
  kDivide = '/',
  kPower = '^',
};

// Parenthesised texts and function calls may nest this deep (the whole
// expression is the first level); deeper, the whole evaluation fails with
// "E" instead of exhausting the stack.
constexpr int kMaxNesting = 2500;

struct EngineState;

// Evaluates text into out against the engine's values. On failure out holds
// what the failing step left (unchanged for an empty text).
bool EvaluateExpression(EngineState& engine, std::string_view text, std::string& out);

// EvaluateExpression for the expression a front end asks for: also keeps in
// engine.lastFailure why it gave no value, empty when it gave one.
bool EvaluateExplained(EngineState& engine, std::string_view text, std::string& out);

// 1 or 0: the two dates compared field by field (year, month, day) as read.
double CompareDates(std::string_view left, std::string_view right, Operator op);

}  // namespace vell
