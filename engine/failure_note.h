// Recording why an evaluation fails or gives "E". Every call sits on a path
// that fails; the texts are copied into the note only there.
#pragma once

#include <string>
#include <string_view>

#include "engine_state.h"

namespace vell {

// The parts joined into one line, each cut short when long.
[[gnu::cold]] std::string JoinReason(std::string_view a, std::string_view b = {}, std::string_view c = {},
                                     std::string_view d = {});

// The evaluation fails for the reason the parts give, unless an earlier
// failure's stands. (Plain parameters: a list would cost the callers' hot
// paths a stack guard.)
[[gnu::cold]] void NoteReason(EngineState& engine, std::string_view a, std::string_view b = {}, std::string_view c = {},
                              std::string_view d = {});
// A function stored "E" with success for this reason; kept while values are
// explained, unless a reason is there already.
[[gnu::cold]] void WriteValueE(EngineState& engine, std::string_view a, std::string_view b = {},
                               std::string_view c = {}, std::string_view d = {});
inline void NoteValueE(EngineState& engine, std::string_view a, std::string_view b = {}, std::string_view c = {},
                       std::string_view d = {}) {
  if (engine.failure.explainValues) WriteValueE(engine, a, b, c, d);
}

// A failure's reason noted earlier, as it was, unless an earlier failure's stands.
[[gnu::cold]] void RestoreReason(EngineState& engine, std::string_view reason);

// Whether a failure has been explained: a step that fails without one failed
// on an empty text, which only the step around it can name.
inline bool HasFailureReason(const EngineState& engine) { return engine.failure.level == FailureNote::kFailure; }

// A name that is not in the value map: unknown, or a text whose parentheses
// do not pair up.
[[gnu::cold]] void NoteUnknownName(EngineState& engine, std::string_view name);

// Parentheses and calls nest deeper than the evaluator goes.
[[gnu::cold]] void NoteTooDeep(EngineState& engine);

// An operator (an Operator's character) in text lacks an operand.
[[gnu::cold]] void NoteMissingOperand(EngineState& engine, char op, std::string_view text);

// Whether an evaluation's outcome is a value: success, and not "E".
inline bool IsValue(bool ok, const std::string& out) { return ok && !(out.size() == 1 && out[0] == 'E'); }

// Why an evaluation failed: the note's reason, or the one failure that
// names none.
[[gnu::cold]] void ExplainFailure(const EngineState& engine, std::string& reason);

}  // namespace vell
