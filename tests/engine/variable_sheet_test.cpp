#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine_cases.h"
#include "engine_internals.h"
#include "reference_resolution.h"

namespace vell {
namespace {

using VariableSheetTest = testing::EngineTest;

TEST_F(VariableSheetTest, ResolvesSheetsAndWritesTheReport) {
  // Past the nesting limit: the line fails as a whole.
  const std::string kDeep = std::string(kMaxNesting, '(') + "3" + std::string(kMaxNesting, ')');
  const struct {
    std::string sheet, expression;
    bool ok;
    std::string out, report;
  } cases[] = {
      {"x=2\ny=x*3+z\nz=1.5", "y/2", true, "3.750000", "X = 2\nY = 7.5\nZ = 1.5\n"},
      {"a=1\na=2", "a", true, "1", "A = 1\nERR 1 : A=2\n"},
      {"a=b\na=1\nb=2", "a", true, "1", "ERR 1 : A=B\nA = 1\nB = 2\n"},
      {"a=b+1\nb=a+1", "1", true, "1", "ERR 1 : A=B+1\nERR 2 : B=A+1\n"},
      {";note\n?x=1\n  ;x=1", "2", true, "2", ";X = 1\n"},
      {"t=\"abc\"", "t", true, "ABC", "T = ABC\n"},
      {"n=2.50\nr=1/3", "n", true, "2.50", "N = 2.5\nR = 0.333333\n"},
      {"x=1=1", "x", true, "1.000000", "X = 1\n"},
      {"=5", "1", true, "1", " = 5\n"},
      {"p!1a=3", "P!A1*2", true, "6.000000", "P!A1 = 3\n"},
      {"p!1a=3", "P!1A*2", false, "0.000000", "P!A1 = 3\n"},
      {"a=1\r\n\r\n\r\nb=a+1\r\r\n", "b", true, "2.000000", "A = 1\nB = 2\n"},
      {"\n\nnoequals\n   \nx = 4 ", "x", true, "4", "X = 4\n"},
      {"a = \"x.50\"", "a", true, "X.50", "A = X.5\n"},
      {"a=a+1", "a", false, "0.0", "ERR 1 : A=A+1\n"},
      {"q=1/0\nw=5", "w", true, "5", "ERR 1 : Q=1/0\nW = 5\n"},
      {"x=1", "\"keep Case\"", true, "keep Case", "X = 1\n"},
      {"a1=5\na2=2\na3=7\ns=sum(a1:a3)", "s", true, "14.000000", "A1 = 5\nA2 = 2\nA3 = 7\nS = 14\n"},
      {"s=sum(a1:a3)\na3=7\na2=2\na1=5", "s", true, "14.000000", "S = 14\nA3 = 7\nA2 = 2\nA1 = 5\n"},
      {"c=color\nlist(color)=\"red,green\"\ncolor=\"green\"", "c", true, "2",
       "C = 2\nLIST(COLOR) = RED,GREEN\nCOLOR = GREEN\n"},
      {"X!12AB=1\nX!AB12=2", "1", true, "1", "X!AB12 = 1\nERR 1 : X!AB12=2\n"},
      {"s=sin(30\nq=\"abc\nw=1", "w", true, "1", "ERR 1 : S=SIN(30\nERR 2 : Q=\"ABC\nW = 1\n"},
      {"d=pow(2," + kDeep + ")\nw=1", "w", true, "1", "ERR 1 : D=POW(2," + kDeep + ")\nW = 1\n"},
      // Y reads X before LIST(X) exists and keeps the text; A waits for X and
      // reads it once the list is there.
      {"a=x\nx=\"b\"\ny=x\nlist(x)=\"a,b\"\nz=x", "x+a", true, "4.000000",
       "A = 2\nX = B\nY = B\nLIST(X) = A,B\nZ = 2\n"},
  };
  for (const auto& c : cases) {
    Reset();
    std::string out;
    EXPECT_EQ(ResolveVariables(c.sheet, c.expression, out), c.ok) << c.sheet;
    EXPECT_EQ(out, c.out) << c.sheet;
    EXPECT_EQ(Report(), c.report) << c.sheet;
    // Plain passes leave the same.
    const testing::ResolutionSnapshot fast = testing::TakeSnapshot(State(), c.ok, out);
    out.clear();
    const bool ok = testing::ResolveVariablesByPasses(State(), c.sheet, c.expression, out);
    EXPECT_TRUE(fast == testing::TakeSnapshot(State(), ok, out)) << c.sheet;
  }
}

TEST_F(VariableSheetTest, StateSurvivesUntilTheNextResolution) {
  std::string out;
  ASSERT_TRUE(ResolveVariables("a=5", "a", out));
  ASSERT_TRUE(EvaluateExpression("a+1", out));
  EXPECT_EQ(out, "6.000000");
  EXPECT_EQ(Report(), "A = 5\n");
  // A sheet of comments alone is still a resolution: it empties the map.
  EXPECT_FALSE(ResolveVariables(";only a comment", "a+1", out));
  EXPECT_EQ(Report(), "");
  EXPECT_EQ(State().lineCount, 0);
  EXPECT_EQ(State().valueMap.Size(), 0u);
}

TEST_F(VariableSheetTest, LinesAndStatusesAreKept) {
  std::string out;
  ResolveVariables("a=1\n b = a \nc\na=3\nd=e", "", out);
  const EngineState& e = State();
  const std::vector<std::string> lines = {"A=1", "B = A", "C", "A=3", "D=E"};
  ASSERT_EQ(e.sheetLines.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(e.sheetLines[i], lines[i]) << i;
  EXPECT_EQ(e.lineCount, 5);
  EXPECT_EQ(std::vector<int>(e.lineStatus.begin(), e.lineStatus.end()), (std::vector<int>{1, 1, 0, 2, 0}));
}

// A definition whose right-hand side is a plain name stores the very text of
// that name's value; everything else is evaluated, and the outcome is the
// same as plain passes give either way.
TEST_F(VariableSheetTest, PlainNamesShareTheirValueText) {
  const struct {
    std::string sheet;
    const char* name;    // a definition to check
    const char* source;  // the name whose text it must share, or nullptr
    std::string value;
  } cases[] = {
      // clang-format off
      {"t=\"abc\"\nb=t", "B", "T", "ABC"}, {"t=\"abc\"\nb=t\nc = b ", "C", "T", "ABC"},
      {"b=t\nt=\"abc\"", "B", "T", "ABC"}, {"n=2.50\nm=n", "M", "N", "2.50"},
      {"x!1a=\"q\"\ny!2b=x!a1", "Y!B2", "X!A1", "Q"}, {"t=\"x\"\nb=t\nlist(t)=\"x\"", "B", "T", "X"},
      // Not plain names: evaluated, so a text of their own.
      {"t=\"x\"\nlist(t)=\"a,x\"\nb=t", "B", nullptr, "2"}, {"t=\"x\"\nlist(t)=\"a,b\"\nb=t", "B", nullptr, "X"},
      {"t=5\nb=(t)", "B", nullptr, "5"}, {"t=5\nb=t%", "B", nullptr, "0.050000"},
      {"t=5\nb=-t", "B", nullptr, "-5.000000"}, {"t=5\nb=+t", "B", nullptr, "5.000000"},
      {"t=5\nb=t+0", "B", nullptr, "5.000000"}, {"t=5\nb=t/1", "B", nullptr, "5.000000"},
      // clang-format on
  };
  for (const auto& c : cases) {
    Reset();
    std::string out;
    ResolveVariables(c.sheet, "", out);
    const testing::ResolutionSnapshot fast = testing::TakeSnapshot(State(), true, "");
    const auto value = State().valueMap.Find(c.name);
    ASSERT_TRUE(value.has_value()) << c.sheet;
    EXPECT_EQ(*value, c.value) << c.sheet;
    if (c.source != nullptr) {
      EXPECT_EQ(value->data(), State().valueMap.Find(c.source)->data()) << c.sheet;
    } else {
      for (const char* other : {"T", "N"}) {
        if (State().valueMap.Contains(other)) {
          EXPECT_NE(value->data(), State().valueMap.Find(other)->data()) << c.sheet;
        }
      }
    }
    Reset();
    testing::ResolveVariablesByPasses(State(), c.sheet, "", out);
    EXPECT_TRUE(fast == testing::TakeSnapshot(State(), true, "")) << c.sheet;
  }
}

TEST_F(VariableSheetTest, ListPositionsLastUntilTheNextResolution) {
  const struct {
    std::string sheet, expression;
    std::string out;
  } cases[] = {
      {"x=\"b\"\nlist(x)=\"a,B,b\"", "x", "2"}, {"x=\"b\"\nlist(x)=\"a,c\"", "x", "B"},
      {"x=\"c\"\nlist(x)=\"a,b,c\"", "x", "3"}, {"x=\"c\"", "x", "C"},
      {"x=2\nlist(x)=\"2,1\"", "x", "2"},
  };
  for (const auto& c : cases) {
    std::string out;
    ASSERT_TRUE(ResolveVariables(c.sheet, c.expression, out)) << c.sheet;
    EXPECT_EQ(out, c.out) << c.sheet;
    for (int again = 0; again < 3; ++again) {
      out.clear();
      ASSERT_TRUE(EvaluateExpression(c.expression, out));
      EXPECT_EQ(out, c.out) << c.sheet;
    }
  }
  // A look-up without the list names it, so that a sheet line waits for it.
  std::string out;
  ResolveVariables("x=\"c\"", "", out);
  MissRecorder misses;
  State().misses = &misses;
  ASSERT_TRUE(EvaluateExpression("x", out));
  State().misses = nullptr;
  EXPECT_EQ(misses.names, std::vector<std::string>{"LIST(X)"});
}

// The texts handed to a resolution may be views of the storage it rebuilds.
TEST_F(VariableSheetTest, TextsFromTheEngineItselfCanBeResolved) {
  std::string out;
  ResolveVariables("s=\"a=1\"\ne=\"2+3\"", "", out);
  const std::string_view sheet = *State().valueMap.Find("S");
  const std::string_view expression = *State().valueMap.Find("E");
  ASSERT_TRUE(ResolveVariables(sheet, expression, out));
  EXPECT_EQ(out, "5.000000");
  EXPECT_EQ(Report(), "A = 1\n");
  const std::string_view line = State().sheetLines[0];
  ASSERT_TRUE(ResolveVariables(line, line.substr(2), out));
  EXPECT_EQ(out, "1");
  EXPECT_EQ(Report(), "A = 1\n");
}

TEST(NormalizeName, MovesDigitsBehindLetters) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      // clang-format off
      {"X!12AB", "X!AB12"}, {"X!AB12", "X!AB12"}, {"X!12", "X!12"}, {"X!1A2", "X!1A2"},
      {"X12AB", "X12AB"},   {"X!", "X!"},         {"!1A", "!A1"},   {"A!1B!2C", "A!1B!2C"},
      {"A!007Q", "A!Q007"}, {"A!1a", "A!a1"},
      // clang-format on
  };
  for (const auto& c : cases) {
    std::string name = c.in;
    NormalizeName(name);
    EXPECT_EQ(name, c.out) << c.in;
  }
}

TEST_F(VariableSheetTest, SplitDefinitionGivesNameAndValue) {
  Reset();
  std::string name = "keep", value = "keep";
  EXPECT_FALSE(SplitDefinition(State(), "NOEQUALS", name, value));
  EXPECT_EQ(name, "keep");
  EXPECT_EQ(value, "keep");
  EXPECT_TRUE(SplitDefinition(State(), "AB  = 1+1 = 2", name, value));
  EXPECT_EQ(name, "AB");
  EXPECT_EQ(value, "1.000000");
  EXPECT_FALSE(SplitDefinition(State(), "Q=", name, value));
  EXPECT_EQ(name, "Q");
}

// Generated sheets: the engine's resolution must leave exactly what plain
// passes leave (lines, statuses, values, report, result).
std::string RandomSheet(std::mt19937& rng, int lines) {
  static const char* const names[] = {"A", "B", "C", "D", "E", "A1", "A2", "A3", "X!1B", "X!B1", "LIST(C)", "F"};
  static const char* const rhs[] = {
      "1", "2.5", "A+1", "B*2", "C", "D-E", "F", "IF(A=1,B,C)", "IF(D>2,1,X)", "SUM(A1:A3)", "MAX(A1:A3)", "MIN(A1:A9)",
      "\"RED\"", "\"RED,BLUE\"", "AND(A,B)", "OR(E,1)", "A/0", "X!B1+1", "A2", "A3+A1", "SUM(A1:A900)", "C+1",
      "\"BLUE\"", "DATE(\"1-1-2000\",<,\"2-1-2000\")", "B+C+D+E", "1+",
      // POW and NROOT turn a failed operand into "E" with success.
      "POW(A,2)+B", "NROOT(SUM(A1:A900),2)", "POW(2,MIN(A1:A3))*C", "IF(POW(X,1)=0,A,B)", "(1/0)+A"};
  std::string s;
  for (int i = 0; i < lines; ++i) {
    const unsigned kind = rng() % 20;
    if (kind == 0) {
      s += ";comment";
    } else if (kind == 1) {
      s += "no definition";
    } else {
      s += names[rng() % std::size(names)];
      s += "=";
      s += rhs[rng() % std::size(rhs)];
    }
    s += rng() % 3 == 0 ? "\r\n" : "\n";
  }
  return s;
}

TEST_F(VariableSheetTest, MatchesPlainPassesOnGeneratedSheets) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3000; ++round) {
    const std::string sheet = RandomSheet(rng, 1 + static_cast<int>(rng() % 14));
    const std::string expression = rng() % 2 ? "A+B" : "SUM(A1:A3)";
    Reset();
    std::string out;
    const bool ok = ResolveVariables(sheet, expression, out);
    const testing::ResolutionSnapshot fast = testing::TakeSnapshot(State(), ok, out);
    Reset();
    out.clear();
    const bool refOk = testing::ResolveVariablesByPasses(State(), sheet, expression, out);
    const testing::ResolutionSnapshot reference = testing::TakeSnapshot(State(), refOk, out);
    ASSERT_TRUE(fast == reference) << "sheet:\n"
                                   << sheet << "\nfast report:\n"
                                   << fast.report << "\nreference report:\n"
                                   << reference.report;
  }
}

TEST_F(VariableSheetTest, LongChainsResolveInEitherOrder) {
  const int n = 20000;
  std::string forward = "V0=1\n", reverse;
  for (int i = 1; i < n; ++i) forward += "V" + std::to_string(i) + "=V" + std::to_string(i - 1) + "+1\n";
  for (int i = 0; i < n - 1; ++i) reverse += "V" + std::to_string(i) + "=V" + std::to_string(i + 1) + "+1\n";
  reverse += "V" + std::to_string(n - 1) + "=1\n";
  std::string out;
  ASSERT_TRUE(ResolveVariables(forward, "V" + std::to_string(n - 1), out));
  EXPECT_EQ(out, std::to_string(n) + ".000000");
  ASSERT_TRUE(ResolveVariables(reverse, "V0", out));
  EXPECT_EQ(out, std::to_string(n) + ".000000");
  const std::string report = Report();
  EXPECT_EQ(report.substr(0, 13), "V0 = 20000\nV1");
  EXPECT_EQ(report.find("ERR"), std::string::npos);
}

}  // namespace
}  // namespace vell
