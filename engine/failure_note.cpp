#include "failure_note.h"

#include <algorithm>
#include <cstring>

#include "evaluator.h"
#include "number_text.h"

namespace vell {

namespace {

// A long text shows its beginning: a reason stays one short line.
constexpr std::size_t kMaxPart = 60;

// The part as it is shown: at most kMaxPart bytes, and not cut in the
// middle of a UTF-8 sequence; more tells whether "..." follows.
std::string_view Shown(std::string_view part, bool& more) {
  more = part.size() > kMaxPart;
  if (!more) return part;
  std::size_t size = kMaxPart;
  while (size > 0 && (static_cast<unsigned char>(part[size]) & 0xC0u) == 0x80u) --size;
  return part.substr(0, size);
}

void Write(EngineState& engine, FailureNote::Level level, std::string_view a, std::string_view b, std::string_view c,
           std::string_view d) {
  FailureNote& note = engine.failure;
  if (note.level >= level || note.quiet) return;
  note.level = level;
  std::size_t size = 0;
  for (const std::string_view part : {a, b, c, d}) {
    if (part.empty()) continue;  // the parts not given: no data to copy
    bool more;
    const std::string_view shown = Shown(part, more);
    std::memcpy(note.text + size, shown.data(), shown.size());
    size += shown.size();
    if (more) {
      std::memcpy(note.text + size, "...", 3);
      size += 3;
    }
  }
  note.size = static_cast<std::uint8_t>(size);
}

}  // namespace

std::string JoinReason(std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
  std::string reason;
  for (const std::string_view part : {a, b, c, d}) {
    bool more;
    reason.append(Shown(part, more));
    if (more) reason.append("...");
  }
  return reason;
}

void NoteReason(EngineState& engine, std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
  Write(engine, FailureNote::kFailure, a, b, c, d);
}

void WriteValueE(EngineState& engine, std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
  Write(engine, FailureNote::kValueE, a, b, c, d);
}

void RestoreReason(EngineState& engine, std::string_view reason) {
  FailureNote& note = engine.failure;
  if (note.level == FailureNote::kFailure || note.quiet) return;
  note.level = FailureNote::kFailure;
  note.size = static_cast<std::uint8_t>(std::min(reason.size(), FailureNote::kCapacity));
  std::memcpy(note.text, reason.data(), note.size);
}

void NoteUnknownName(EngineState& engine, std::string_view name) {
  if (HasFailureReason(engine) || engine.failure.quiet) return;
  long depth = 0;
  for (const char c : name) {
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) break;
  }
  if (depth > 0) return NoteReason(engine, "missing closing parenthesis in ", name);
  if (depth < 0) return NoteReason(engine, "missing opening parenthesis in ", name);
  NoteReason(engine, "unknown name ", name);
}

void NoteTooDeep(EngineState& engine) {
  const std::string limit = IntegerText(kMaxNesting);
  NoteReason(engine, "parentheses and calls nested more than ", limit, " deep");
}

void NoteMissingOperand(EngineState& engine, char op, std::string_view text) {
  // "<=" and ">=" stand as one character each.
  const std::string_view written = op == 'l' ? "<=" : op == 'g' ? ">=" : std::string_view(&op, 1);
  NoteReason(engine, "missing operand for ", written, " in ", text);
}

void ExplainFailure(const EngineState& engine, std::string& reason) {
  if (engine.failure.level != FailureNote::kNone) {
    reason.assign(engine.failure.Reason());
  } else {
    // Every other failure names its reason: this one had a blank text
    // where the expression or a parenthesised part should be.
    reason = "nothing to evaluate";
  }
}

}  // namespace vell
