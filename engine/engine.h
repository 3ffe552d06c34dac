// The engine as its front ends see it: one object that owns the last
// resolved variable sheet and evaluates expressions against it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine_state.h"

namespace vell {

class Engine {
 public:
  // Evaluates an expression against the values of the last resolved sheet.
  // On failure out holds what the failing step left.
  bool EvaluateExpression(std::string_view expression, std::string& out);
  // Replaces the sheet with this one, resolves its definitions and then
  // evaluates the expression; the result is that evaluation's success.
  bool ResolveVariables(std::string_view sheet, std::string_view expression, std::string& out);
  // Appends the details report of the last resolved sheet.
  void WriteDetailsReport(std::string& report) const;

  // Why the last EvaluateExpression or ResolveVariables gave no value, in
  // plain words with the text concerned ("unknown name ZZ"): the first
  // reason met, when it failed or gave "E"; empty when it gave a value.
  const std::string& LastFailure() const { return state_.lastFailure; }
  // Why each definition that the details report lists as "ERR n" did not
  // resolve, in report order (n - 1 is the index).
  std::vector<std::string> ErrorReasons();

  // The stored lines, their status and the value map, for tests and tools.
  const EngineState& State() const { return state_; }
  EngineState& State() { return state_; }

 private:
  EngineState state_;
};

}  // namespace vell
