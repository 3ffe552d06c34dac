// The variable sheet: resolution of the definitions into the value map, and
// the details report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vell {

struct EngineState;

// Rebuilds the engine state from the sheet text, then evaluates the
// expression into out (EvaluateExplained); the result is that evaluation's
// success.
bool ResolveVariables(EngineState& engine, std::string_view sheet, std::string_view expression, std::string& out);

// Splits a stored line at its first "=" and evaluates the right-hand side.
// False when there is no "=" (name and value untouched) or the evaluation fails.
bool SplitDefinition(EngineState& engine, std::string_view line, std::string& name, std::string& value);

// Appends why each line that the details report lists as "ERR n" did not
// resolve, in report order. A line that stayed unresolved is evaluated
// again: against the final values it fails as it did last, since none of the
// names it missed was stored after that (the line would have been tried
// again). A duplicate is named as such.
void ExplainUnresolvedLines(EngineState& engine, std::vector<std::string>& reasons);

// "X!12AB" becomes "X!AB12": digits after the "!" move behind the letters.
void NormalizeName(std::string& name);

// Appends one line per definition of the last resolved sheet: "NAME = value"
// or "ERR n : LINE".
void WriteDetailsReport(const EngineState& engine, std::string& report);

}  // namespace vell
