#include "engine_state.h"

namespace vell {

void ResetEngineState() {
  EngineState& s = Engine();
  s.sheetLines.clear();
  s.lineStatus.clear();
  s.lineCount = 0;
  s.valueMap.Clear();
  s.nesting = 0;
  s.tooDeep = false;
  s.misses = nullptr;
  s.scanContext = nullptr;
}

}  // namespace vell
