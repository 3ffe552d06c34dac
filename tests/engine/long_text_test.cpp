// Every text is split through its scan context (operators, parenthesis
// partners and lower-case letters known up front); it must split where a
// plain character walk splits and give exactly what the recursive
// definition gives, unbalanced parentheses and lower case included.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine_cases.h"
#include "engine_internals.h"
#include "reference_evaluation.h"
#include "scan_context.h"
#include "value_text.h"

namespace vell {
namespace {

std::string RandomLongExpression(std::mt19937& rng, int depth) {
  static const char* const atoms[] = {"1",  "2.5", "x", "sin(30)", "\"ab\"", "(",        ")",
                                      "-3", "7%",  " ", "Y",       "d",      "max(1,2)", "\"1-2-2000\""};
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

// The depth-0 operators of view from its end down to lowest, as a reader
// walking leftwards and counting parentheses finds them.
std::vector<std::size_t> WalkedOperators(std::string_view view, std::size_t lowest) {
  std::vector<std::size_t> found;
  long depth = 0;
  for (std::size_t i = view.size(); i-- > lowest;) {
    depth += view[i] == ')' ? 1 : view[i] == '(' ? -1 : 0;
    if (depth == 0 && std::string_view("+-<=>*/^").find(view[i]) != std::string_view::npos) found.push_back(i);
  }
  return found;
}

std::vector<std::size_t> ContextOperators(const ScanContext& context, std::string_view view, std::size_t lowest) {
  ScratchVector<std::size_t>::Pool pool;
  ScratchVector<std::size_t> sums(pool), products(pool);
  context.Operators(view, lowest, sums, products);
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < sums.size(); ++i) found.push_back(sums[i]);
  for (std::size_t i = 0; i < products.size(); ++i) found.push_back(products[i]);
  std::sort(found.rbegin(), found.rend());
  return found;
}

// Every view of a text finds the operators the walk finds, and so does every
// view of an upper-cased copy of a part of it, which borrows the text's
// tables; the copy's parentheses pair up within the copy alone.
TEST_F(LongTextTest, EveryViewFindsTheOperatorsAWalkFinds) {
  std::mt19937 rng(99);
  static constexpr std::string_view pieces = "()()+-*/^<=>1a ";
  for (int round = 0; round < 300; ++round) {
    std::string text(rng() % 40, ' ');
    for (char& c : text) c = pieces[rng() % pieces.size()];
    const ScanContext context(State(), text);
    for (std::size_t b = 0; b <= text.size(); ++b)
      for (std::size_t e = b; e <= text.size(); ++e)
        for (std::size_t lowest : {0, 1}) {
          const std::string_view view = std::string_view(text).substr(b, e - b);
          ASSERT_EQ(ContextOperators(context, view, lowest), WalkedOperators(view, lowest)) << "[" << view << "]";
        }

    const std::size_t b = rng() % (text.size() + 1);
    const std::string_view part = std::string_view(text).substr(b, rng() % (text.size() - b + 1));
    std::string upper(part);
    ToUpperAscii(upper);
    const ScanContext copy(State(), upper, context, part);
    ASSERT_EQ(ScanContext::For(State(), upper), &copy);
    EXPECT_FALSE(copy.HasLowerAscii(upper));
    std::vector<const char*> partners(upper.size(), nullptr);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < upper.size(); ++i) {
      if (upper[i] == '(') open.push_back(i);
      if (upper[i] == ')' && !open.empty()) {
        partners[i] = upper.data() + open.back();
        partners[open.back()] = upper.data() + i;
        open.pop_back();
      }
    }
    for (std::size_t i = 0; i < upper.size(); ++i) {
      if (upper[i] == '(' || upper[i] == ')') {
        ASSERT_EQ(copy.PartnerOf(upper.data() + i), partners[i]) << "[" << upper << "] " << i;
      }
    }
    for (std::size_t e = 0; e <= upper.size(); ++e) {
      const std::string_view view = std::string_view(upper).substr(0, e);
      ASSERT_EQ(ContextOperators(copy, view, 1), WalkedOperators(view, 1)) << "[" << view << "]";
    }
  }
}

// Argument lists over long texts skip whole groups; they must split where a
// character-by-character walk splits, stray and unclosed parentheses
// included, wherever the text sits in the evaluation's text.
std::string RandomArguments(std::mt19937& rng) {
  static const char* const pieces[] = {"(", ")", ",", "1", "a", "((", "))", ",,", "(1,2)", " "};
  std::string s;
  const std::size_t length = 130 + rng() % 400;
  while (s.size() < length) s += pieces[rng() % std::size(pieces)];
  return s;
}

TEST_F(LongTextTest, ArgumentsSplitAsTheCharacterWalkDoes) {
  std::mt19937 rng(77);
  int withIf = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string whole = RandomArguments(rng) + RandomArguments(rng);
    const std::size_t begin = rng() % 100;
    const std::string_view args = std::string_view(whole).substr(begin, whole.size() - begin - rng() % 100);
    const ScanContext context(State(), whole);
    std::vector<std::string_view> plain, skipping;
    SplitArguments(args, plain);
    SplitArguments(State(), args, skipping);
    ASSERT_EQ(skipping, plain) << "[" << args << "]";

    // IF's two rightmost depth-0 commas, found by the plain walk: the texts
    // evaluated (and so the names looked up) and the outcome must agree.
    std::vector<std::size_t> commas;
    long depth = 0;
    for (std::size_t i = args.size(); i-- > 0 && commas.size() < 2;) {
      depth += args[i] == ')' ? 1 : args[i] == '(' ? -1 : 0;
      if (args[i] == ',' && depth == 0) commas.push_back(i);
    }
    MissRecorder seen, expectedSeen;
    std::string out, expected;
    State().misses = &seen;
    const bool ok = EvaluateIf(State(), args, out);
    State().misses = &expectedSeen;
    bool expectedOk = false;
    if (commas.size() < 2) {
      expected = "0.0";
    } else {
      ++withIf;
      std::string condition;
      const bool conditionOk = EvaluateExpression(args.substr(0, commas[1]), condition);
      const bool branchOk = ReadNumber(condition) == 1.0
                                ? EvaluateExpression(args.substr(commas[1] + 1, commas[0] - commas[1] - 1), expected)
                                : EvaluateExpression(args.substr(commas[0] + 1), expected);
      expectedOk = conditionOk && branchOk;
    }
    State().misses = nullptr;
    ASSERT_EQ(ok, expectedOk) << "[" << args << "]";
    ASSERT_EQ(out, expected) << "[" << args << "]";
    ASSERT_EQ(seen.names, expectedSeen.names) << "[" << args << "]";
  }
  EXPECT_GT(withIf, 100);
}

}  // namespace
}  // namespace vell
