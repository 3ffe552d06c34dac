// The engine's state: the last resolved variable sheet, its value map and
// the bookkeeping of a running evaluation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "scratch_vector.h"
#include "sheet_lines.h"
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

// Why the running evaluation fails or gives "E": the first reason met, in
// plain words. Written only on the paths that fail, so that an evaluation
// that succeeds pays nothing for it; into storage of its own, since the
// texts it quotes may not outlive the step that fails.
struct FailureNote {
  enum Level : std::uint8_t {
    kNone,
    kValueE,   // a function stored "E" with success; a failure replaces it
    kFailure,  // the evaluation fails; nothing replaces it
  };
  // Four parts of at most 60 bytes and "..." each.
  static constexpr std::size_t kCapacity = std::size_t{4} * 63;

  Level level = kNone;
  std::uint8_t size = 0;
  // Functions that store "E" with success say why only while this is set:
  // an expression is evaluated again with it when its value is "E".
  bool explainValues = false;
  // Set while a sheet is resolved: why a line fails is worked out only when
  // the report's errors are explained.
  bool quiet = false;
  char text[kCapacity];

  std::string_view Reason() const { return std::string_view(text, size); }
};

// What a range walked once in an evaluation gave, for its next use there.
struct RangeOutcome {
  bool ok;
  std::string out;
  std::string reason;  // why it failed, when it did
};

// One operator of a chain being folded, kept in the engine's scratch storage.
struct ChainStep {
  char op;                           // an Operator
  std::size_t rightBegin, rightEnd;  // the right operand's place in the text
  int percentOfLeft;                 // trailing "%" signs of the left operand
};

// Tables a scan context borrows from the engine and gives back.
struct ScanStorage {
  std::unique_ptr<std::uint32_t[]> words;
  std::size_t capacity = 0;
};

// Everything that survives between evaluations, and the bookkeeping of the
// one running now. Owned by an Engine; the evaluation functions take it.
struct EngineState {
  SheetLines sheetLines;
  std::vector<std::uint8_t> lineStatus;
  std::int32_t lineCount = 0;
  ValueMap valueMap;

  // Evaluation bookkeeping, not part of the resolved sheet.
  int nesting = 0;
  // The running evaluation is abandoned: every level entered from now on
  // fails at once. tooDeep tells that the nesting limit was the reason.
  bool cut = false;
  bool tooDeep = false;
  // Set while a sheet line is evaluated: its value is dropped when it fails,
  // and a failure always reaches the top but through POW and NROOT operands
  // (shielded counts those), so the first failure decides the line.
  bool stopAtFailure = false;
  int shielded = 0;
  FailureNote failure;
  // Why the last expression a front end asked for gave no value.
  std::string lastFailure;
  // Outcomes of the ranges walked so far in this evaluation (the value map
  // cannot change during one), keyed by aggregate, nesting, argument text
  // and the result text MIN and MAX start from.
  std::unordered_map<std::string, RangeOutcome> rangeOutcomes;
  // While a range's stem is walked (EvaluateStem): the stem's end, which
  // every member continues with its digits, and who gets the walk.
  const char* stemEnd = nullptr;
  class StemWalker* stemWalker = nullptr;
  MissRecorder* misses = nullptr;
  const class ScanContext* scanContext = nullptr;  // innermost
  // Storage the evaluation's operator lists and chains borrow and give back.
  ScratchVector<std::size_t>::Pool positionPool;
  ScratchVector<ChainStep>::Pool stepPool;
  std::vector<std::unique_ptr<ScanStorage>> scanPool;
};

}  // namespace vell
