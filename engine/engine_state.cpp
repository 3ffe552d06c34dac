#include "engine_state.h"

namespace vell {

EngineState& Engine() {
  static EngineState state;
  return state;
}

void ResetEngineState() {
  EngineState& s = Engine();
  s.sheetLines.clear();
  s.lineStatus.clear();
  s.lineCount = 0;
  s.valueMap.Clear();
  s.nesting = 0;
  s.misses = nullptr;
  s.scanContext = nullptr;
}

}  // namespace vell
