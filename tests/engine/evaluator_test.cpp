#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "engine.h"
#include "engine_cases.h"
#include "engine_internals.h"
#include "reference_evaluation.h"

namespace vell {
namespace {

using testing::Case;

using EvaluatorTest = testing::EngineTest;

TEST_F(EvaluatorTest, PrecedenceAndAssociativity) {
  ExpectCases({
      // clang-format off
      {"1+2*3", true, "7.000000"},      {"(1+2)*3", true, "9.000000"},    {"2^3^2", true, "64.000000"},
      {"2*3^2", true, "36.000000"},     {"-2^2", true, "-4.000000"},      {"1-2-3", true, "-4.000000"},
      {"10/2/5", true, "1.000000"},     {"1<2<3", true, "1.000000"},      {"3=1+2", true, "2.000000"},
      {"1+2=3", true, "1.000000"},      {"0>1-2", true, "-2.000000"},     {"1<=1", true, "1.000000"},
      {"2>=3", true, "0.000000"},       {"2>=2", true, "1.000000"},       {"1<2", true, "1.000000"},
      {"2>1", true, "1.000000"},        {"2=2", true, "1.000000"},        {"1/3*3", true, "0.999999"},
      {"1 + 2", true, "3.000000"},      {" \t7\n", true, "7"},            {"2*(3+4)", true, "14.000000"},
      {"((2))", true, "2"},             {"2^0.5", true, "1.414214"},      {"1-(2-3)", true, "2.000000"},
      // clang-format on
  });
}

TEST_F(EvaluatorTest, SignsPercentAndQuotes) {
  ExpectCases({
      // clang-format off
      {"10+5%", true, "0.150000"},      {"50%*2", true, "1.000000"},      {"5%+3", true, "3.050000"},
      {"1+2%+3", true, "3.030000"},     {"5 % %", true, "0.000500"},      {"-3*2", true, "-6.000000"},
      {"+5", true, "5.000000"},         {"\"A.B\"", true, "A.B"},         {"\"a+b\"", true, "a+b"},
      {"\"1\"+\"2\"", true, "1\"+\"2"}, {"\"abc", false, "E"},            {"\"", true, ""},
      {"  \"  ", true, ""},             {"\"\"", true, ""},               {"\"x\"%", true, "0.000000"},
      {"7%", true, "0.070000"},         {"(1+1)%", true, "0.020000"},   {"\"1-2-2000", false, "E"},
      {"\"ab\" ", true, "ab"},         {"\"ab%", false, "E"},           {"1+\"2", false, "1.000000"},
      // clang-format on
  });
}

TEST_F(EvaluatorTest, FailuresAndWhatTheyLeave) {
  ExpectCases({
      // clang-format off
      {"1/0", false, "E"},              {"1/-0", false, "0.000000"},             {"10^400", false, "E"},
      {"(-8)^(1/3)", false, "E"},       {"2*-3", false, "-3.000000"},     {"--3", false, "-3.000000"},
      {"-", false, "0.000000"},         {"X+1", false, "1.000000"},       {"1<>2", false, "0.000000"},
      {"%", false, ""},                 {"%+3", false, "3.000000"},       {"1+", false, "1.000000"},
      {"X", false, "0.0"},              {"2(3)", false, "0.0"},           {"1/0+1", false, "1.000000"},
      // clang-format on
  });
}

TEST_F(EvaluatorTest, EmptyTextLeavesOutUnchanged) {
  for (const char* text : {"", "   ", "\t\r\n"}) {
    std::string out = "previous";
    EXPECT_FALSE(EvaluateExpression(text, out));
    EXPECT_EQ(out, "previous");
  }
  // An empty view without any data, as a caller with no expression passes.
  Engine engine;
  std::string out = "previous";
  EXPECT_FALSE(engine.EvaluateExpression(std::string_view(), out));
  EXPECT_FALSE(engine.ResolveVariables("A=1", std::string_view(), out));
  EXPECT_EQ(out, "previous");
}

TEST_F(EvaluatorTest, DatesCompareFieldByField) {
  Define("D1", "1-2-2000");
  Define("D2", "5/6/2001");
  Define("D3", "32-1-2000");
  ExpectCases({
      // clang-format off
      {"D1<D2", true, "1.000000"},  {"D1=D2", true, "0.000000"},  {"D1-D2", true, "0.000000"},
      {"D1+1", true, "2.000000"},   {"D2>D1", true, "1.000000"},  {"D1<=D1", true, "1.000000"},
      {"D1>=D2", true, "0.000000"}, {"D3<D1", true, "1.000000"},  {"D1*D2", true, "0.000000"},
      {"(\"1-1-1950\")<(\"1-1-1960\")", true, "1.000000"},
      // clang-format on
  });
  EXPECT_EQ(CompareDates("1-1-2000", "1-1-2000", Operator::kEqual), 1.0);
  EXPECT_EQ(CompareDates("1-1-2000", "2-1-2000", Operator::kAdd), 0.0);
}

TEST_F(EvaluatorTest, FindOperatorSkipsFirstCharacterAndParentheses) {
  EXPECT_EQ(testing::FindOperator("1+2-3", testing::OperatorLevel::kAdditive), 3u);
  EXPECT_EQ(testing::FindOperator("-3", testing::OperatorLevel::kAdditive), testing::kNoPosition);
  EXPECT_EQ(testing::FindOperator("(1+2)*3", testing::OperatorLevel::kAdditive), testing::kNoPosition);
  EXPECT_EQ(testing::FindOperator("(1+2)*3", testing::OperatorLevel::kMultiplicative), 5u);
  EXPECT_EQ(testing::FindOperator("1+(2", testing::OperatorLevel::kAdditive), testing::kNoPosition);
  EXPECT_EQ(testing::FindOperator("1+2)", testing::OperatorLevel::kAdditive), testing::kNoPosition);
  EXPECT_EQ(testing::FindOperator("1<=2", testing::OperatorLevel::kAdditive), 2u);
  std::string out;
  EXPECT_TRUE(testing::ApplyOperator(State(), "1<=2", 2, out));
  EXPECT_EQ(out, "1.000000");
  EXPECT_FALSE(testing::ApplyOperator(State(), "4/0", 1, out));
  EXPECT_EQ(out, "E");
}

using testing::RecursiveEvaluate;

std::string RandomExpression(std::mt19937& rng, int depth) {
  static const char* const atoms[] = {"1", "2",  "0", "3.5", "-2", "X", "Y",    "\"1-2-2000\"",
                                      "D", "7%", "",  " ",   "(",  ")", "\"q\""};
  static const char* const ops[] = {"+", "-", "*", "/", "^", "<", ">", "=", "<=", ">=", "%", " ", "--", "%+"};
  std::string s;
  const int terms = 1 + static_cast<int>(rng() % 6);
  for (int i = 0; i < terms; ++i) {
    if (i > 0) s += ops[rng() % std::size(ops)];
    if (depth > 0 && rng() % 4 == 0) {
      s += "(" + RandomExpression(rng, depth - 1) + ")";
    } else {
      s += atoms[rng() % std::size(atoms)];
    }
  }
  return s;
}

TEST_F(EvaluatorTest, IterativeChainsMatchTheRecursiveDefinition) {
  Define("X", "4");
  Define("D", "3-4-2001");
  std::mt19937 rng(20261207);
  for (int i = 0; i < 20000; ++i) {
    const std::string text = RandomExpression(rng, 3);
    std::string expected = "seed", actual = "seed";
    const bool expectedOk = RecursiveEvaluate(State(), text, expected);
    const bool actualOk = EvaluateExpression(text, actual);
    ASSERT_EQ(actualOk, expectedOk) << "expression [" << text << "]";
    ASSERT_EQ(actual, expected) << "expression [" << text << "]";
  }
}

TEST_F(EvaluatorTest, LongFlatChainsEvaluate) {
  std::string sum = "1", product = "1", mixed = "0";
  for (int i = 1; i < 100000; ++i) {
    sum += "+1";
    product += "*1";
    if (i <= 50000) mixed += "+2*3-1";
  }
  ExpectCases({{sum, true, "100000.000000"}, {product, true, "1.000000"}, {mixed, true, "250000.000000"}});
}

std::string Nested(int depth, const std::string& open, const std::string& inner, const std::string& close) {
  std::string s;
  for (int i = 0; i < depth; ++i) s += open;
  s += inner;
  for (int i = 0; i < depth; ++i) s += close;
  return s;
}

TEST_F(EvaluatorTest, NestingCountsLevelsOfTheWrittenExpression) {
  // Each repetition of open nests levels deeper (the whole text is the first
  // level); at the limit the text evaluates, one repetition more and the
  // whole evaluation fails with "E", whatever lies above the cut.
  const struct {
    const char *open, *inner, *close;
    int levels;
    const char* out;
  } shapes[] = {
      // clang-format off
      {"(", "1", ")", 1, "1"}, {"(1+0*", "1", ")", 1, "1.000000"}, {"(1+2*0*", "1", ")", 1, "1.000000"},
      {"-(-(", "1", "))", 2, "1.000000"}, {"(100*", "1", ")%", 1, "1.000000"}, {"SIN(", "0", ")", 1, "0.000000"},
      {"MAX(0,1+0*(", "1", "))", 2, "1.000000"}, {"IF(1,", "5", ",0)", 1, "5"}, {"POW(1,", "2", ")", 1, "1.000000"},
      {"(1+", "1", ")", 1, "2500.000000"}, {"sqrt(1+", "0", ")", 1, "1.618034"}, {"MAX(1,", "2", ")", 1, "2.000000"},
      // clang-format on
  };
  for (const auto& shape : shapes) {
    const int fit = (kMaxNesting - 1) / shape.levels;
    for (const int reps : {fit, fit + 1}) {
      std::string out;
      const bool ok = EvaluateExpression(Nested(reps, shape.open, shape.inner, shape.close), out);
      EXPECT_EQ(ok, reps == fit) << shape.open << " x" << reps;
      EXPECT_EQ(out, reps == fit ? shape.out : "E") << shape.open << " x" << reps;
      EXPECT_EQ(State().nesting, 0);
    }
  }
  // Far past the limit, closed or not, it still fails cleanly.
  for (const std::string& text : {Nested(10000, "(", "1", ")"), Nested(10000, "SIN(", "1", ")"),
                                  Nested(10000, "(", "", "") + "1", Nested(10000, "(1+", "1", ")")}) {
    std::string out;
    EXPECT_FALSE(EvaluateExpression(text, out));
    EXPECT_EQ(State().nesting, 0);
  }
  ExpectCases({
      {"1+POW(2," + Nested(998, "(1+0*", "1", ")") + ")", true, "3.000000"},
      {"1+POW(2," + Nested(kMaxNesting, "(", "1", ")") + ")", false, "E"},
      {"NROOT(8," + Nested(kMaxNesting + 100, "(", "3", ")") + ")", false, "E"},
      {"AND(0," + Nested(kMaxNesting, "(", "1", ")") + ")", true, "0.0"},
  });
}

TEST_F(EvaluatorTest, RightOperandsKeepTheNestingLimit) {
  // The same sums with the right operand as a numeral, as a name holding
  // that numeral and as quoted text; around the limit all must succeed or
  // fail alike.
  Define("TWO", "2");
  bool succeeded = false, failed = false;
  for (int depth = kMaxNesting - 3; depth <= kMaxNesting + 1; ++depth) {
    std::string plain, named, quoted;
    const bool plainOk = EvaluateExpression(Nested(depth, "(", "1+2", ")"), plain);
    const bool namedOk = EvaluateExpression(Nested(depth, "(", "1+TWO", ")"), named);
    const bool quotedOk = EvaluateExpression(Nested(depth, "(", "1+\"2\"", ")"), quoted);
    EXPECT_EQ(plainOk, quotedOk) << depth;
    EXPECT_EQ(namedOk, quotedOk) << depth;
    EXPECT_EQ(plain, quoted) << depth;
    EXPECT_EQ(named, quoted) << depth;
    (quotedOk ? succeeded : failed) = true;
  }
  EXPECT_TRUE(succeeded);
  EXPECT_TRUE(failed);
}

TEST_F(EvaluatorTest, ParenthesisedOperandsKeepTheirText) {
  Define("D1", "1-2-2000");
  const std::vector<Case> cases = {
      // clang-format off
      {"(\"abc\")", true, "ABC"}, {"(\"1-2-2000\")<(\"5/6/2001\")", true, "1.000000"},
      {"(D1)=(\"1/2/2000\")", true, "1.000000"}, {"(1+1)<(\"5/6/2001\")", true, "1.000000"},
      {"(2*3)*(1/4)-(1/0)", false, "1.500000"}, {"(0.5)+(x)", false, "0.500000"},
      {"(10^300*10^300)+1", false, "1.000000"}, {"((1/3))*3", true, "0.999999"}, {"(2)%*(50%)", true, "0.010000"},
      {"1+2*3-4/2^2+ 5 *(6)", true, "33.000000"}, {"1+*2", false, "1.000000"},
      {"2*3+ \"4\"*2%+x*2", false, "6.000000"},
      // clang-format on
  };
  ExpectCases(cases);
  for (const Case& c : cases) {
    std::string expected;
    EXPECT_EQ(testing::RecursiveEvaluate(State(), c.text, expected), c.ok) << c.text;
    EXPECT_EQ(expected, c.out) << c.text;
  }
}

TEST_F(EvaluatorTest, TextMayBeAViewOfOut) {
  std::string s = "2+3";
  EXPECT_TRUE(EvaluateExpression(s, s));
  EXPECT_EQ(s, "5.000000");
}

}  // namespace
}  // namespace vell
