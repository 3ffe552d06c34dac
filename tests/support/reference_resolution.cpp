#include "reference_resolution.h"

#include "engine_state.h"
#include "evaluator.h"
#include "value_text.h"
#include "variable_sheet.h"

namespace vell::testing {

bool ResolveVariablesByPasses(EngineState& engine, std::string_view sheet, std::string_view expression,
                              std::string& out) {
  const std::string sheetText(sheet), expressionText(expression);
  engine.valueMap.Clear();
  engine.sheetLines.clear();
  std::string piece;
  auto flush = [&] {
    if (piece.empty()) return;
    if (piece[0] != ';' && piece[0] != '?') {
      std::string line(TrimWhiteSpace(piece));
      ToUpperAscii(line);
      engine.sheetLines.push_back(line);
    }
    piece.clear();
  };
  for (char c : sheetText) {
    if (c == '\r' || c == '\n') {
      flush();
    } else {
      piece.push_back(c);
    }
  }
  flush();
  engine.lineCount = static_cast<std::int32_t>(engine.sheetLines.size());
  engine.lineStatus.assign(engine.sheetLines.size(), kUnresolved);
  bool progress, failure;
  do {
    progress = failure = false;
    for (std::size_t i = 0; i < engine.sheetLines.size(); ++i) {
      if (engine.lineStatus[i] != kUnresolved) continue;
      std::string name, value;
      if (!SplitDefinition(engine, engine.sheetLines[i], name, value)) {
        failure = true;
        continue;
      }
      progress = true;
      if (engine.valueMap.Contains(name)) {
        engine.lineStatus[i] = kDuplicate;
      } else {
        engine.valueMap.Insert(name, value);
        engine.lineStatus[i] = kResolved;
      }
    }
  } while (progress && failure);
  return EvaluateExpression(engine, expressionText, out);
}

ResolutionSnapshot TakeSnapshot(const EngineState& engine, bool ok, const std::string& out) {
  ResolutionSnapshot s;
  s.ok = ok;
  s.out = out;
  for (std::size_t i = 0; i < engine.sheetLines.size(); ++i) s.lines.emplace_back(engine.sheetLines[i]);
  s.status.assign(engine.lineStatus.begin(), engine.lineStatus.end());
  engine.valueMap.ForEach(
      [&](std::string_view name, std::string_view value) { s.values[std::string(name)] = std::string(value); });
  WriteDetailsReport(engine, s.report);
  return s;
}

}  // namespace vell::testing
