// The evaluation written as the plain recursive definition (split at the
// rightmost loosest operator, recurse on both sides), to hold the engine's
// iterative evaluator against.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vell {
struct EngineState;
}

namespace vell::testing {

enum class OperatorLevel { kAdditive, kMultiplicative };
constexpr std::size_t kNoPosition = std::string_view::npos;

// The rightmost operator of the level at parenthesis depth 0, never the first
// character; kNoPosition when there is none.
std::size_t FindOperator(std::string_view text, OperatorLevel level);
// Evaluates both sides of the operator at position, each with
// EvaluateExpression, and combines them.
bool ApplyOperator(EngineState& engine, std::string_view text, std::size_t position, std::string& out);

// Evaluates like EvaluateExpression, recursing once per operator, percent
// sign and parenthesis pair. Terms other than parenthesised text go to
// EvaluateTerm. Keep inputs short and shallow: the recursion is unbounded.
bool RecursiveEvaluate(EngineState& engine, std::string_view text, std::string& out);

}  // namespace vell::testing
