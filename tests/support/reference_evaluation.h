// The evaluation written as the plain recursive definition (split at the
// rightmost loosest operator, recurse on both sides), to hold the engine's
// iterative evaluator against.
#pragma once

#include <string>
#include <string_view>

namespace vell::testing {

// Evaluates like EvaluateExpression, recursing once per operator, percent
// sign and parenthesis pair. Terms other than parenthesised text go to
// EvaluateTerm. Keep inputs short and shallow: the recursion is unbounded.
bool RecursiveEvaluate(std::string_view text, std::string& out);

}  // namespace vell::testing
