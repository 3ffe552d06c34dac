// Why an evaluation gave "E": the first reason met, in plain words, for the
// expression and for each "ERR" line of the report.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine_cases.h"

namespace vell {
namespace {

class FailureReasonTest : public testing::EngineTest {
 protected:
  std::string ReasonFor(const std::string& text) {
    std::string out;
    EvaluateExpression(text, out);
    return engine_.LastFailure();
  }
};

TEST_F(FailureReasonTest, EachFailureNamesItsCauseAndText) {
  Define("D", "31-2-x");
  Define("H", "E");
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      // clang-format off
      {"zz+1", "unknown name ZZ"}, {"1/(2-2)", "division by zero in 1/(2-2)"},
      {"2*3^400^2", "no finite result for 2*3^400"}, {"2*(3", "missing closing parenthesis in 2*(3"},
      {"sin(30", "missing closing parenthesis in SIN(30"}, {"1+2)", "missing opening parenthesis in 1+2)"},
      {"\"abc", "missing closing quote in \"abc"}, {"1+", "missing operand for + in 1+"},
      {"2*-3", "missing operand for * in 2*"}, {"1<>2", "missing operand for < in 1<"},
      {"%+3", "missing operand for + in %+3"}, {"day(D)", "not a date: 31-2-x"},
      {"day(\"31-2-x\")", "not a date: 31-2-X"}, {"day(5)", "not a date: 5"},
      {"sum(A1:A2000000)", "range of more than 1000000 names: A1:A2000000"},
      {"sum(A1:B3)", "range ends do not match in SUM(A1:B3)"},
      {"sum(1,2,3)", "not a range such as A1:A9 in SUM(1,2,3)"},
      {"sqrt(-4)", "square root of a negative number in SQRT(-4)"},
      {"if(1,2)", "wrong number of arguments in IF(1,2)"}, {"date(1,2)", "wrong number of arguments in DATE(1,2)"},
      {"sin()", "missing argument in SIN()"}, {"and(1,,2)", "missing argument in AND(1,,2)"},
      {"", "nothing to evaluate"}, {"()", "nothing to evaluate"},
      // "E" stored with success: the function and its argument.
      {"log(0)", "no finite result for LOG(0)"}, {"(asin(2))", "no finite result for ASIN(2)"},
      {"if(1,log(0),2)", "no finite result for LOG(0)"}, {"pow(2)", "missing argument in POW(2)"},
      {"pow(zz,2)", "unknown name ZZ"}, {"H", "the value E comes from a variable or a quoted text"},
      // The first reason stands; a failure replaces an "E" met before it.
      {"zz+1/0", "unknown name ZZ"}, {"log(0)+1/0", "division by zero in 1/0"},
      {"pow(zz,2)+sin()", "missing argument in SIN()"},
      // A value, however it was reached, has no reason.
      {"log(0)+1", ""}, {"pow(zz,2)*0", ""}, {"if(1,10,zz)", ""},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(ReasonFor(c.text), c.reason) << c.text;
}

TEST_F(FailureReasonTest, LongTextsAndDeepNestingStayOneShortLine) {
  EXPECT_EQ(ReasonFor(std::string(100, 'Q')), "unknown name " + std::string(60, 'Q') + "...");
  const std::string deep = std::string(3000, '(') + "1" + std::string(3000, ')');
  EXPECT_EQ(ReasonFor(deep), "parentheses and calls nested more than 2500 deep");
  // A quoted multi-byte character is not cut in two.
  const std::string text = "\"" + std::string(59, 'a') + "\xC3\xA9";
  EXPECT_EQ(ReasonFor(text), "missing closing quote in \"" + std::string(59, 'a') + "...");
}

TEST_F(FailureReasonTest, EachReportErrorIsExplainedInReportOrder) {
  std::string out;
  EXPECT_FALSE(ResolveVariables("a=1\na=2\nb=zz\nc=1/0\nd=e+1\ne=2\nnote\nf=\ng=d*(x", "q", out));
  EXPECT_EQ(engine_.LastFailure(), "unknown name Q");
  const std::vector<std::string> expected = {"already defined: A", "unknown name ZZ", "division by zero in 1/0",
                                             "nothing to evaluate", "missing closing parenthesis in D*(X"};
  EXPECT_EQ(engine_.ErrorReasons(), expected);
  // Explaining changes neither the report nor the expression's reason.
  EXPECT_EQ(Report(), "A = 1\nERR 1 : A=2\nERR 2 : B=ZZ\nERR 3 : C=1/0\nD = 3\nE = 2\nERR 4 : F=\nERR 5 : G=D*(X\n");
  EXPECT_EQ(engine_.LastFailure(), "unknown name Q");
  EXPECT_TRUE(ResolveVariables("a=1", "a", out));
  EXPECT_EQ(engine_.LastFailure(), "");
  EXPECT_TRUE(engine_.ErrorReasons().empty());
}

// Random texts of calls, ranges, operators and stray characters: whatever
// fails or gives "E" says why, and what has a value says nothing. A failed
// line of a sheet fails again when it is explained.
TEST_F(FailureReasonTest, EveryOutcomeWithoutValueHasAReason) {
  static const char* const tokens[] = {"1",    "0",    "X",   "A2",   "(",    ")",     "+",    "-",    "*",
                                       "/",    "^",    "%",   "<",    "=",    ",",     "\"",   "SIN(", "SQRT(",
                                       "LOG(", "POW(", "IF(", "SUM(", "MIN(", "A1:A3", "DAY(", "AND(", "\"1-2-2000\"",
                                       " "};
  std::mt19937 rng(8675309);
  const auto randomText = [&](int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text += tokens[rng() % std::size(tokens)];
    return text;
  };
  std::string sheet;
  for (int i = 0; i < 2000; ++i) {
    std::string out;
    const std::string text = randomText(1 + static_cast<int>(rng() % 8));
    const bool ok = EvaluateExpression(text, out);
    EXPECT_EQ(engine_.LastFailure().empty(), ok && out != "E") << text;
    if (i % 40 == 0) sheet.clear();
    sheet += "A" + std::to_string(i % 4) + "=" + text + "\n";
    if (i % 40 == 39) {
      ResolveVariables(sheet, "A1", out);
      const std::vector<std::string> reasons = engine_.ErrorReasons();
      std::size_t errors = 0;
      for (std::size_t at = Report().find("ERR "); at != std::string::npos; at = Report().find("ERR ", at + 1))
        ++errors;
      ASSERT_EQ(reasons.size(), errors) << sheet;
      for (const std::string& reason : reasons) EXPECT_FALSE(reason.empty()) << sheet;
    }
  }
}

}  // namespace
}  // namespace vell
