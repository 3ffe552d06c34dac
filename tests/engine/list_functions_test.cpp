#include <gtest/gtest.h>

#include "engine_cases.h"
#include "engine_internals.h"

namespace vell {
namespace {

class ListFunctionsTest : public testing::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Define("A1", "5");
    Define("A2", "2");
    Define("A3", "7");
    Define("B", "\"x\"");
  }
};

TEST_F(ListFunctionsTest, IfTakesOnlyExactlyOneAsTrue) {
  ExpectCases({
      // clang-format off
      {"IF(1,10,20)", true, "10"},          {"IF(2,10,20)", true, "20"},       {"IF(0,10,20)", true, "20"},
      {"IF(1,10,X)", true, "10"},           {"IF(0,X,20)", true, "20"},        {"IF(1,2)", false, "0.0"},
      {"IF(X,10,20)", false, "20"},         {"IF(1,X,20)", false, "0.0"},      {"IF(1,(5,6),7)", false, "0.0"},
      {"IF(1=1,2+2,0)", true, "4.000000"},  {"IF(1,2,3,4)", false, "4"},        {"if(A1>4,\"big\",\"small\")", true, "BIG"},
      {"IF(,1,2)", false, "2"},             {"IF(0.5,1,2)", true, "2"},        {"IF(1,IF(0,1,2),3)", true, "2"},
      // clang-format on
  });
}

TEST_F(ListFunctionsTest, AndOr) {
  ExpectCases({
      // clang-format off
      {"AND(1,2,3)", true, "1.0"},  {"AND(1,0,X)", true, "0.0"},  {"AND()", true, "1.0"},
      {"AND(X)", false, "0.0"},     {"AND(1,X,1)", false, "0.0"}, {"AND(1, )", false, "1.0"},
      {"OR(0,1)", true, "1.0"},     {"OR(2,0)", true, "0.0"},     {"OR()", true, "0.0"},
      {"OR(X,1)", false, "1.0"},    {"OR(1,X)", true, "1.0"},     {"OR(0.5)", true, "0.0"},
      {"AND(-1)", true, "1.0"},
      // clang-format on
  });
}

TEST_F(ListFunctionsTest, MinMaxLists) {
  ExpectCases({
      // clang-format off
      {"MIN(3,1,2)", true, "1.000000"},  {"MAX(3,1,2)", true, "3.000000"},  {"MIN()", true, "0.000000"},
      {"MAX()", true, "0.000000"},       {"MIN(5)", true, "5.000000"},      {"MIN(X,4)", false, "0.000000"},
      {"MAX(-1,-5)", true, "-1.000000"}, {"MIN(1,MAX(2,3))", true, "1.000000"},
      // clang-format on
  });
}

TEST_F(ListFunctionsTest, Ranges) {
  ExpectCases({
      // clang-format off
      {"SUM(A1:A3)", true, "14.000000"},   {"MIN(A1:A3)", true, "2.000000"},  {"MAX(A1:A3)", true, "7.000000"},
      {"SUM(a1:a3)", true, "14.000000"},   {"SUM(A3:A1)", true, "0.000000"},  {"SUM(A1:B3)", false, "0"},
      {"SUM(A1:A4)", false, "14.000000"},  {"MIN(A0:A3)", false, "0.000000"}, {"MAX(A2:A4)", false, "7.000000"},
      {"SUM(1,2,3)", false, "0"},          {"SUM()", true, "0.000000"},       {"SUM(A2:A2)", true, "2.000000"},
      {"MIN(A1:A3,9)", false, "0"},        {"SUM(A1:A999999)", false, "14.000000"},
      {"SUM(A1:A1000001)", false, "0"},    {"MAX(A1:A1000000)", false, "7.000000"},
      {"MIN(A2:A1000000)", false, "0.000000"}, {"SUM(A0:A2147483647)", false, "0"},
      // clang-format on
  });
}

TEST_F(ListFunctionsTest, Round) {
  ExpectCases({
      // clang-format off
      {"ROUND(2.5,0)", true, "3.000000"},       {"ROUND(-2.5,0)", true, "-3.000000"},
      {"ROUND(1234,-2)", true, "1200.000000"},  {"ROUND(1250,-2)", true, "1300.000000"},
      {"ROUND(3.14159,2)", true, "3.141590"},   {"ROUND(5)", false, "0.0"},
      {"ROUND(15,-1)", true, "20.000000"},      {"ROUND(-149,-2)", true, "-100.000000"},
      {"ROUND(2.4,0)", true, "2.000000"},       {"ROUND(1,2,3)", false, "0.0"},
      {"ROUND(X,0)", false, "0.000000"},        {"ROUND(2.5,X)", false, "3.000000"},
      {"ROUND(1000000000000.5,0)", true, "1000000000001.000000"},
      {"ROUND(-1000000000000.5,0)", true, "-1000000000001.000000"},
      {"ROUND(2147483647.5,0)", true, "2147483648.000000"},
      {"ROUND(99999999999,-2)", true, "100000000000.000000"},
      {"ROUND(10^308*10,0)", false, "0.000000"},
      {"ROUND(10^20,0)", true, "100000000000000000000.000000"},
      // A whole number has no negative zero.
      {"ROUND(-0.4,0)", true, "0.000000"},      {"ROUND(-4,-1)", true, "0.000000"},
      {"ROUND(-49,-2)", true, "0.000000"},      {"ROUND(-2.5,-1)", true, "0.000000"},
      // clang-format on
  });
}

}  // namespace
}  // namespace vell
