#include "engine.h"

#include "evaluator.h"
#include "variable_sheet.h"

namespace vell {

bool Engine::EvaluateExpression(std::string_view expression, std::string& out) {
  return EvaluateExplained(state_, expression, out);
}

bool Engine::ResolveVariables(std::string_view sheet, std::string_view expression, std::string& out) {
  return vell::ResolveVariables(state_, sheet, expression, out);
}

void Engine::WriteDetailsReport(std::string& report) const { vell::WriteDetailsReport(state_, report); }

std::vector<std::string> Engine::ErrorReasons() {
  std::vector<std::string> reasons;
  ExplainUnresolvedLines(state_, reasons);
  return reasons;
}

}  // namespace vell
