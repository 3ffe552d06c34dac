// What the engine tests share: a fresh engine per test and tables of
// expressions with the flag and output text each must give.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine.h"
#include "engine_state.h"

namespace vell::testing {

struct Case {
  std::string text;
  bool ok;
  std::string out;
};

// Every test starts with the empty engine of program start.
class EngineTest : public ::testing::Test {
 protected:
  EngineState& State() { return engine_.State(); }
  void Reset() { engine_.State() = EngineState{}; }
  void Define(const std::string& name, const std::string& value) { State().valueMap.Insert(name, value); }
  bool EvaluateExpression(std::string_view text, std::string& out) { return engine_.EvaluateExpression(text, out); }
  bool ResolveVariables(std::string_view sheet, std::string_view expression, std::string& out) {
    return engine_.ResolveVariables(sheet, expression, out);
  }
  std::string Report() const {
    std::string report;
    engine_.WriteDetailsReport(report);
    return report;
  }

  // Evaluates each text into an empty output and checks the flag and the text.
  void ExpectCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      std::string out;
      EXPECT_EQ(EvaluateExpression(c.text, out), c.ok) << "expression " << c.text;
      EXPECT_EQ(out, c.out) << "expression " << c.text;
    }
  }

  Engine engine_;
};

}  // namespace vell::testing
