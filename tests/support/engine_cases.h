// What the engine tests share: a fresh engine state per test and tables of
// expressions with the flag and output text each must give.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vell_engine.h"

namespace vell::testing {

// Starts and ends every test with the empty state of program start.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetEngineState(); }
  void TearDown() override { ResetEngineState(); }
  static void Define(const std::string& name, const std::string& value) { Engine().valueMap.Insert(name, value); }
};

struct Case {
  std::string text;
  bool ok;
  std::string out;
};

// Evaluates each text into an empty output and checks the flag and the text.
inline void ExpectCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(EvaluateExpression(c.text, out), c.ok) << "expression " << c.text;
    EXPECT_EQ(out, c.out) << "expression " << c.text;
  }
}

}  // namespace vell::testing
