#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_cases.h"
#include "engine_internals.h"

namespace vell {
namespace {

using TermTest = testing::EngineTest;

TEST_F(TermTest, OneArgumentFunctionsInDegrees) {
  ExpectCases({
      // clang-format off
      {"SIN(30)", true, "0.500000"},       {"sin(45)", true, "0.707107"},      {"COS(90)", true, "0.000000"},
      {"TAN(45)", true, "1.000000"},       {"TAN(90)", true, "22273515591.846760"},
      {"TAN(180)", true, "-0.000000"},     {"ASIN(0.5)", true, "30.000000"},   {"ACOS(0.5)", true, "60.000000"},
      {"ATAN(1)", true, "45.000000"},      {"ASIN(2)", true, "E"},             {"ACOS(-2)", true, "E"},
      {"LOG(0)", true, "E"},               {"LOG(-1)", true, "E"},             {"LN(-1)", true, "E"},
      {"SQRT(-4)", false, "E"},            {"SQRT(16)", true, "4.000000"},     {"LOG(100)", true, "4.605170"},
      {"LN(100)", true, "4.605170"},       {"LOG10(100)", true, "2.000000"},   {"LOG10(0)", true, "E"},
      {"ALOG(1)", true, "2.718282"},       {"EXP(1)", true, "2.718282"},       {"EXP(1000)", true, "E"},
      {"POW10(2)", true, "100.000000"},    {"ALOG10(2)", true, "100.000000"},  {"ALOG10(400)", true, "E"},
      {"SQR(3)", true, "9.000000"},        {"SQR(10^200)", true, "E"},          {"Sin(x)", false, "0.0"},
      {"SIN()", false, ""},
      {"sin(2*15)", true, "0.500000"},     {"SQRT(2)+1", true, "2.414214"},    {"cos(0)%", true, "0.010000"},
      // clang-format on
  });
}

TEST_F(TermTest, CallWithoutClosingParenthesisFails) {
  Define("A1", "1");
  ExpectCases({
      // clang-format off
      {"SIN(30", false, "E"},   {"SIN(", false, "E"},       {"MAX(1,2", false, "E"},  {"SQRT(16", false, "E"},
      {"SUM(A1:A3", false, "E"}, {"POW(2,3", false, "E"},   {"if(1,2,3", false, "E"}, {"day(x", false, "E"},
      {"SIN(30+1", false, "1.000000"}, {"MAX(1,SIN(30)", false, "1.000000"},
      {"MAX(SIN(30,1)", false, "0.000000"},
      // clang-format on
  });
}

TEST_F(TermTest, PowAndNroot) {
  ExpectCases({
      // clang-format off
      {"POW(2,10)", true, "1024.000000"},  {"NROOT(27,3)", true, "3.000000"},  {"POW(2)", true, "E"},
      {"POW(,3)", true, "E"},              {"POW(X,2)", true, "E"},            {"POW(2,X)", true, "E"},
      {"NROOT(4,0)", true, "E"}, {"NROOT(1,0)", true, "1.000000"},   {"NROOT(-8,3)", true, "E"},         {"NROOT(-8,1)", true, "-8.000000"},
      {"POW(10,400)", true, "E"},          {"POW(MAX(1,2),3)", true, "E"},     {"pow(2, 3)", true, "8.000000"},
      {"POW(2,0.5)", true, "1.414214"},
      // clang-format on
  });
}

TEST_F(TermTest, NumeralsParenthesesAndNames) {
  Define("A", "5");
  Define("FOO(1)", "9");
  ExpectCases({
      // clang-format off
      {"1.5", true, "1.5"},   {"007", true, "007"},      {"(2+3)", true, "5.000000"}, {"1.2.3", true, "1.2.3"},
      {"a", true, "5"},       {"NOPE", false, "0.0"},    {"FOO(1)", true, "9"},       {"FOO(2)", false, "0.0"},
      {".", true, "."},       {"()", false, ""},         {"(1", false, "0.0"},        {"1)", false, "0.0"},
      // clang-format on
  });
}

TEST_F(TermTest, ListVariablesNumberTextValues) {
  Define("COLOR", "GREEN");
  Define("LIST(COLOR)", "RED,GREEN,BLUE");
  Define("SHADE", "PINK");
  Define("LIST(SHADE)", "RED,GREEN");
  Define("TONE", "GREEN");
  Define("LIST(TONE)", "RED, GREEN");
  Define("LOWER", "green");
  Define("LIST(LOWER)", "RED,GREEN");
  Define("PLAIN", "WORD");
  ExpectCases({
      // clang-format off
      {"COLOR", true, "2"},         {"COLOR+1", true, "3.000000"}, {"SHADE", true, "PINK"},
      {"TONE", true, "GREEN"},      {"LOWER", true, "2"},          {"PLAIN", true, "WORD"},
      {"color*2", true, "4.000000"},
      // clang-format on
  });
}

TEST(SplitArguments, DepthZeroCommasOnly) {
  const struct {
    const char* text;
    std::vector<std::string> items;
  } cases[] = {
      // clang-format off
      {"", {}}, {"A,B,", {"A", "B"}}, {"A,,B", {"A", "", "B"}}, {"F(1,2),3", {"F(1,2)", "3"}},
      {"A), B,C", {"A), B,C"}}, {"A),(B,C", {"A),(B", "C"}}, {" a , b", {" a ", " b"}}, {",", {""}},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::vector<std::string> items;
    SplitArguments(c.text, items);
    EXPECT_EQ(items, c.items) << c.text;
  }
}

}  // namespace
}  // namespace vell
