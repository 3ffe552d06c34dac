// Long texts take the evaluator's skipping scan (parenthesis partners and
// lower-case letters known up front); they must give exactly what the
// recursive definition gives, unbalanced parentheses and lower case included.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reference_evaluation.h"
#include "engine_cases.h"
#include "engine_internals.h"
#include "scan_context.h"

namespace vell {
namespace {

std::string RandomLongExpression(std::mt19937& rng, int depth) {
  static const char* const atoms[] = {"1",   "2.5", "x",   "sin(30)", "\"ab\"", "(",        ")",
                                      "-3",  "7%",  " ",   "Y",       "d",      "max(1,2)", "\"1-2-2000\""};
  static const char* const ops[] = {"+", "-", "*", "/", "^", "<", ">", "=", "<=", ">=", "%", ""};
  std::string s;
  const int terms = 1 + static_cast<int>(rng() % 5);
  for (int i = 0; i < terms; ++i) {
    if (i > 0) s += ops[rng() % std::size(ops)];
    const int kind = static_cast<int>(rng() % 6);
    if (depth > 0 && kind < 2) {
      s += "(" + RandomLongExpression(rng, depth - 1) + ")";
    } else if (depth > 0 && kind == 2) {
      s += std::string(rng() % 2 ? "sqrt(" : "SQR(") + RandomLongExpression(rng, depth - 1) + ")";
    } else {
      s += atoms[rng() % std::size(atoms)];
    }
  }
  return s;
}

using LongTextTest = testing::EngineTest;

TEST_F(LongTextTest, SkippingScanMatchesTheRecursiveDefinition) {
  Reset();
  State().valueMap.Insert("X", "4");
  State().valueMap.Insert("D", "3-4-2001");
  std::mt19937 rng(424242);
  int checked = 0;
  for (int i = 0; i < 4000; ++i) {
    const std::string text = RandomLongExpression(rng, 6);
    if (text.size() < ScanContext::kMinLength || text.size() > 3000) continue;
    ++checked;
    std::string expected = "seed", actual = "seed";
    const bool expectedOk = testing::RecursiveEvaluate(State(), text, expected);
    const bool actualOk = EvaluateExpression(text, actual);
    ASSERT_EQ(actualOk, expectedOk) << "expression [" << text << "]";
    ASSERT_EQ(actual, expected) << "expression [" << text << "]";
  }
  EXPECT_GT(checked, 500);
  Reset();
}

}  // namespace
}  // namespace vell
