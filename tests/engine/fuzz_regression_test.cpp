// Inputs the fuzz targets flagged, run again the way the targets check them:
// an expression against the recursive definition, a sheet (the text after its
// last line feed is the expression) against the plain pass-by-pass resolution.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine_cases.h"
#include "engine_internals.h"
#include "reference_evaluation.h"
#include "reference_range.h"
#include "reference_resolution.h"

namespace vell {
namespace {

std::vector<std::string> ReadInputs(const char* kind) {
  std::vector<std::string> inputs;
  const std::filesystem::path folder = std::filesystem::path(VELL_FUZZ_INPUTS) / kind;
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return inputs;
}

using FuzzRegressionTest = testing::EngineTest;

TEST_F(FuzzRegressionTest, ExpressionsMatchTheRecursiveDefinition) {
  Reset();
  const std::vector<std::string> inputs = ReadInputs("evaluate");
  ASSERT_FALSE(inputs.empty());
  for (const std::string& text : inputs) {
    std::string out = "seed", expected = "seed";
    const bool ok = EvaluateExpression(text, out);
    EXPECT_EQ(State().nesting, 0);
    EXPECT_EQ(ok, testing::RecursiveEvaluate(State(), text, expected));
    EXPECT_EQ(out, expected);
  }
}

TEST_F(FuzzRegressionTest, SheetsMatchThePlainPasses) {
  const std::vector<std::string> inputs = ReadInputs("sheet");
  ASSERT_FALSE(inputs.empty());
  for (const std::string& input : inputs) {
    const std::size_t split = input.rfind('\n');
    const std::string sheet = split == std::string::npos ? std::string() : input.substr(0, split);
    const std::string expression = split == std::string::npos ? input : input.substr(split + 1);
    Reset();
    std::string out = "seed", expected = "seed";
    const bool ok = ResolveVariables(sheet, expression, out);
    const testing::ResolutionSnapshot fast = testing::TakeSnapshot(State(), ok, out);
    const bool expectedOk = testing::ResolveVariablesByPasses(State(), sheet, expression, expected);
    const testing::ResolutionSnapshot plain = testing::TakeSnapshot(State(), expectedOk, expected);
    EXPECT_TRUE(fast == plain) << "report:\n" << fast.report << "\nplain passes:\n" << plain.report;
    EXPECT_FALSE(fast.lines.empty());
  }
  Reset();
}

// Ranges look their members up directly when "STEM" + number could only be
// a look-up; whatever the stem, they must give what every member gives.
TEST_F(FuzzRegressionTest, RangesGiveWhatTheirMembersEvaluateTo) {
  const char* const stems[] = {"A", "<A", "*X", "A B", "A%", "A\"", "=Q", "1+A", " A", "\"A", "(A", "7.", "-A"};
  for (const char* stem : stems) {
    std::string sheet;
    for (int i = 1; i <= 3; ++i)
      sheet += std::string(stem) + std::to_string(i) + "=" + std::to_string(i * 3 % 7) + "\n";
    for (const char* kind : {"SUM", "MIN", "MAX"}) {
      for (int last : {3, 5, 4000}) {
        Reset();
        std::string out;
        ResolveVariables(sheet, "", out);
        const std::string term = testing::RangeTerm(kind, stem, 1, last);
        std::string actual, expected;
        const bool actualOk = EvaluateExpression(term, actual);
        EXPECT_EQ(engine_.LastFailure().empty(), actualOk && actual != "E") << term;
        EXPECT_EQ(actualOk, testing::MemberByMemberRange(State(), kind, stem, 1, last, expected)) << term;
        EXPECT_EQ(actual, expected) << term;
      }
    }
  }
  Reset();
}

}  // namespace
}  // namespace vell
