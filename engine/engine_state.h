// The engine's one state: the last resolved variable sheet and its value map.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "value_map.h"

namespace vell {

enum LineStatus : std::uint8_t { kUnresolved = 0, kResolved = 1, kDuplicate = 2 };

// Names a failed evaluation looked up without finding, so that the sheet's
// resolution knows when evaluating a line again could give another outcome.
struct MissRecorder {
  std::vector<std::string> names;
  // Range stems whose members were not looked up one by one (large ranges).
  std::vector<std::string> stems;
  void Clear() {
    names.clear();
    stems.clear();
  }
};

// Everything that survives between evaluations, and the bookkeeping of the
// one running now. Owned by an Engine; the evaluation functions take it.
struct EngineState {
  std::vector<std::string> sheetLines;
  std::vector<std::uint8_t> lineStatus;
  std::int32_t lineCount = 0;
  ValueMap valueMap;

  // Evaluation bookkeeping, not part of the resolved sheet.
  int nesting = 0;
  bool tooDeep = false;  // the nesting limit cut the current evaluation
  MissRecorder* misses = nullptr;
  const class ScanContext* scanContext = nullptr;  // innermost
};

}  // namespace vell
