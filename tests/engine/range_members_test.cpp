// Ranges work out the stem's part of a member once; whatever the stem, the
// aggregate must be what evaluating every member name in turn gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine_cases.h"
#include "engine_internals.h"
#include "reference_range.h"
#include "reference_resolution.h"

namespace vell {
namespace {

using testing::MemberByMemberRange;
using testing::RangeTerm;

class RangeMembersTest : public testing::EngineTest {
 protected:
  // Checks every aggregate over stem first..last against the definition,
  // starting MIN and MAX from each of a few output texts they may read.
  // A cut at the nesting limit fails the whole evaluation, so then only the
  // cut itself has to agree.
  void ExpectAsDefined(const std::string& stem, std::int32_t first, std::int32_t last) {
    EngineState& engine = State();
    const int nesting = engine.nesting;
    for (const char* keyword : {"SUM", "MIN", "MAX"}) {
      for (const char* seed : {"", "seed", "-4.5"}) {
        const std::string term = RangeTerm(keyword, stem, first, last);
        std::string actual = seed, expected = seed;
        const std::string k = keyword;
        engine.tooDeep = false;
        // The handler gets the argument text: the term without "SUM(" and ")".
        const std::string_view args = std::string_view(term).substr(4, term.size() - 5);
        const bool ok = k == "SUM"   ? EvaluateSum(engine, args, actual)
                        : k == "MIN" ? EvaluateMin(engine, args, actual)
                                     : EvaluateMax(engine, args, actual);
        const bool cut = engine.tooDeep;
        engine.tooDeep = false;
        const bool expectedOk = MemberByMemberRange(engine, keyword, stem, first, last, expected);
        ASSERT_EQ(cut, engine.tooDeep) << term;
        engine.tooDeep = false;
        ASSERT_EQ(engine.nesting, nesting) << term;
        if (cut) continue;
        ASSERT_EQ(ok, expectedOk) << term << " from [" << seed << "]";
        ASSERT_EQ(actual, expected) << term << " from [" << seed << "]";
      }
    }
  }

  // Members 1 to 12 and 98 to 103 of the stems the tests use.
  void DefineMembers(const std::vector<std::string>& stems) {
    for (const std::string& stem : stems)
      for (int i : {1, 2, 3, 5, 8, 9, 10, 11, 12, 99, 100, 101})
        Define(stem + std::to_string(i), std::to_string((i * 7) % 11 - 3) + (i % 4 == 0 ? ".25" : ""));
    Define("A7", "\"COLOR\"");
    Define("COLOR", "RED");
    Define("LIST(A8)", "X,Y");
  }
};

TEST_F(RangeMembersTest, WrittenStemsGiveTheirMembersAggregate) {
  DefineMembers({"A", "B", "(A"});
  const std::vector<std::string> stems = {
      "A",         "-A",      "+A",         "--A",   "1+A",    "2*A",     "2*-A",     "10-2*A",
      "A+",        "A*",      "A^",         "2^",    "1/",     "0/A",     "A<",       "A<=",
      "3>=",       "1=",      "1.",         ".",     "\"",     " A",      " -A",      "(A",
      "((A",       "(1+A",    "SIN(",       "SIN(A", "SQRT(",  "IF(1,2,", "IF(0,2,A", "MIN(A",
      "MAX(1,A",   "ROUND(A", "ROUND(2.5,", "AND(A", "OR(1,A", "DAY(",    "A%+",      "50%*A",
      "A%*",       "(1+2)*A", "3*(A",       "X+A",   "2*X*A",  "1+2*3-A", "-2*A+1*B", "\"1-1-2000\"<",
      "1-1-2000<", "A B",     "*A",         "=A",    "<A",
  };
  for (const std::string& stem : stems) {
    for (auto [first, last] :
         {std::pair{1, 3}, std::pair{0, 12}, std::pair{8, 11}, std::pair{95, 103}, std::pair{5, 4}, std::pair{7, 7}}) {
      ExpectAsDefined(stem, first, last);
    }
  }
}

TEST_F(RangeMembersTest, LongStemsGiveTheirMembersAggregate) {
  DefineMembers({"A"});
  const std::string zeros(400, '0'), spaces(300, ' '), sum = [] {
    std::string s;
    for (int i = 0; i < 300; ++i) s += "1+";
    return s;
  }();
  const std::vector<std::string> stems = {
      // clang-format off
      "000.", "-00.", " 00.", "\"000.", "\" -00.", "1+000.", "2*00.", "0.", zeros + ".", "-" + zeros + ".",
      spaces + zeros + ".", "\"" + zeros + ".", "1-" + zeros + ".", "0." + zeros + "E", "1E", "1E-", "\"2E",
      "\"0." + zeros + "1E-", sum, sum + "2*", "2*" + sum, "IF((" + sum + "1),2,", "IF(1,(" + sum + "1),A",
      "IF((" + sum + "0),2,A", "SIN(" + zeros + ".",
      // clang-format on
  };
  for (const std::string& stem : stems)
    for (auto [first, last] : {std::pair{0, 12}, std::pair{95, 130}, std::pair{995, 1003}})
      ExpectAsDefined(stem, first, last);
}

TEST_F(RangeMembersTest, GeneratedStemsGiveTheirMembersAggregate) {
  DefineMembers({"A", "B"});
  const std::vector<std::string> pieces = {
      "A",    "B",    "X",      "1",    "2.5", ".",        "+", "-",  "*", "/",  "^",    "<",
      "=",    ">",    "<=",     ">=",   "%",   "(",        ")", "\"", " ", ",",  "SIN(", "IF(",
      "MIN(", "SUM(", "ROUND(", "SQR(", "e",   "1-1-2000", "0", "00", "E", "E-", "\t",
  };
  std::mt19937 random(20261207);
  for (int n = 0; n < 3000; ++n) {
    std::string stem;
    const int length = 1 + static_cast<int>(random() % 6);
    for (int k = 0; k < length; ++k) stem += pieces[random() % pieces.size()];
    // A stem never ends in a digit: the digits would belong to the number.
    if (stem.back() >= '0' && stem.back() <= '9') stem += "A";
    if (!HasLowerAscii(stem)) {
      const std::int32_t first = static_cast<std::int32_t>(random() % 12);
      ExpectAsDefined(stem, first, first + static_cast<std::int32_t>(random() % 14));
    }
  }
}

TEST_F(RangeMembersTest, NestingLimitFallsAsForEachMember) {
  DefineMembers({"A"});
  for (const char* stem : {"A", "-A", "1+2*A", "(1)+A", "(1+2)*A", "SIN(0)-A", "MAX(1,(2))*A", "IF(1,(2),3)-A"}) {
    for (int below = 0; below <= 3; ++below) {
      State().nesting = kMaxNesting - below;
      ExpectAsDefined(stem, 1, 12);
      State().nesting = 0;
    }
  }
}

TEST_F(RangeMembersTest, ARepeatedRangeGivesWhatItsFirstWalkGave) {
  // Each walk is remembered for the rest of the evaluation, but only at its
  // own nesting and, for MIN and MAX, from the same result text.
  DefineMembers({"A"});
  const std::string deep = std::string(kMaxNesting - 2, '(');
  const std::string close(kMaxNesting - 2, ')');
  ExpectCases({
      // A1, A2, A3 hold 4, 0, 7; A4 is not defined.
      {"SUM(A1:A3)+SUM(A1:A3)*2", true, "33.000000"},
      {"MIN(A1:A3)-MIN(A1:A3)+MAX(A1:A3)", true, "7.000000"},
      {"SUM(A1:A4)+SUM(A1:A4)", false, "22.000000"},
      {deep + "SUM(A1:A3)+(SUM(A1:A3))" + close, false, "E"},
      {deep + "SUM(A1:A3)+SUM(A1:A3)" + close, true, "22.000000"},
  });
}

TEST_F(RangeMembersTest, LargeRangesOverAnyStemMatchTheDefinition) {
  // More members than names, so the defined members are found in the map.
  for (int i : {1, 7, 4999, 12000, 19999, 20000}) Define("A" + std::to_string(i), std::to_string(i % 13) + ".5");
  Define("A050", "100");
  // A member naming a list variable counts by its place in the list.
  Define("A3000", "COLOR");
  Define("LIST(A3000)", "RED,COLOR");
  for (const char* stem : {"A", "-A", "1+A", "2*A", "1-2*A", "A%*"}) ExpectAsDefined(stem, 1, 20000);
}

TEST_F(RangeMembersTest, NumeralMembersMatchTheDefinitionWhereFewOfThemCount) {
  // MIN and MAX of a block of numeral members may look at its ends alone,
  // and SUM may add whole numbers that change by one step at once: only
  // where every step rises or falls with the member (or adds or multiplies
  // whole numbers) and no member between the ends could fail, change sign
  // or be left out unseen.
  DefineMembers({"A"});
  for (const char* stem : {"(-2)^",
                           "2^",
                           "(0-1)*",
                           "1/",
                           "5-",
                           "2*",
                           "-3*",
                           "0*",
                           "1E",
                           "0.5<",
                           "7>=",
                           "1=",
                           "A+",
                           "X+2*",
                           "2-1E",
                           "1E30*1E",
                           "-",
                           "1+2*-",
                           "100000*100000*",
                           "0.5+",
                           "X*",
                           "A*2+",
                           "10000000000037*",
                           "7",
                           "0"})
    for (auto [first, last] : {std::pair{0, 98}, std::pair{10, 98}, std::pair{3, 1200}})
      ExpectAsDefined(stem, first, last);
}

using RangeMembersSheetTest = testing::EngineTest;

TEST_F(RangeMembersSheetTest, SheetsWaitForTheMembersOfAnyStem) {
  // A line whose range misses members must be evaluated again when a later
  // line defines one, whatever operators its stem holds.
  const std::vector<std::string> sheets = {
      "t=SUM(-A1:-A30000)\nA7=3\nA20000=4\n",
      "t=MIN(1+A1:1+A30000)\nu=t*2\nA3=t2\nt2=5\n",
      "t=SUM(2*A1:2*A3)\nA1=1\nA2=A3+1\nA3=4\n",
      "A1=SUM(-B1:-B40000)\nB39999=A2\nA2=1.5\n",
  };
  for (const std::string& sheet : sheets) {
    Reset();
    std::string out = "seed", expected = "seed";
    const bool ok = ResolveVariables(sheet, "t", out);
    const testing::ResolutionSnapshot fast = testing::TakeSnapshot(State(), ok, out);
    const bool expectedOk = testing::ResolveVariablesByPasses(State(), sheet, "t", expected);
    EXPECT_TRUE(fast == testing::TakeSnapshot(State(), expectedOk, expected)) << sheet << "report:\n" << fast.report;
  }
  Reset();
}

}  // namespace
}  // namespace vell
