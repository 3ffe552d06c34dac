// The expression evaluator: splits a text at its loosest operator and
// combines the value texts of both sides.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vell {

enum class OperatorLevel { kAdditive, kMultiplicative };

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

constexpr std::size_t kNoPosition = std::string_view::npos;

// Evaluates text into out. On failure out holds what the failing step left
// (unchanged for an empty text).
bool EvaluateExpression(std::string_view text, std::string& out);

// The rightmost operator of the level at parenthesis depth 0, never the first
// character; kNoPosition when there is none.
std::size_t FindOperator(std::string_view text, OperatorLevel level);

// Evaluates both sides of the operator at position and combines them.
bool ApplyOperator(std::string_view text, std::size_t position, std::string& out);

// 1 or 0: the two dates compared field by field (year, month, day) as read.
double CompareDates(std::string_view left, std::string_view right, Operator op);

}  // namespace vell
