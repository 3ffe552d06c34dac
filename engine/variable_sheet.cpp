#include "variable_sheet.h"

#include <functional>
#include <optional>
#include <queue>
#include <unordered_map>
#include <vector>

#include "engine_state.h"
#include "evaluator.h"
#include "failure_note.h"
#include "number_text.h"
#include "value_text.h"

namespace vell {

namespace {

bool IsNameCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '!'; }

// An upper-case text that evaluation hands straight to the variable look-up
// as it is: a letter, then letters, digits and "!" only. No numeral, sign,
// quote, call, parenthesis, operator, percent sign or blank.
bool IsPlainName(std::string_view text) {
  if (text.empty() || !(text[0] >= 'A' && text[0] <= 'Z')) return false;
  for (char c : text)
    if (!IsNameCharacter(c)) return false;
  return true;
}

// From about this many lines on, the value map outgrows the processor's
// nearer caches.
constexpr std::int32_t kPrefetchFrom = 1 << 16;

// The name a definition line gives, with "=" at eq: as SplitDefinition takes it.
void DefinedName(std::string_view line, std::size_t eq, std::string& name) {
  std::size_t nameEnd = eq;
  while (nameEnd > 0 && IsWhiteSpace(line[nameEnd - 1])) --nameEnd;
  name.assign(line.data(), nameEnd);
  NormalizeName(name);
}

// Resolves the stored lines exactly as repeated passes do (every unresolved
// line evaluated in text order, pass after pass, while a pass makes progress
// and leaves something unresolved), but evaluates a failed line again only
// once a name it missed has been stored: until then its outcome cannot change.
class Resolver {
 public:
  explicit Resolver(EngineState& engine) : engine_(engine), unresolved_(engine.sheetLines.size()) {}

  void Run() {
    const int n = static_cast<int>(engine_.sheetLines.size());
    pass_ = 1;
    for (int i = 0; i < n; ++i) Attempt(i);
    while (progress_ && unresolved_ > 0 && !next_.empty()) {
      ++pass_;
      progress_ = false;
      for (int i : next_) current_.push(i);
      next_.clear();
      while (!current_.empty()) {
        const int i = current_.top();
        current_.pop();
        Attempt(i);
      }
    }
  }

 private:
  void Attempt(int i) {
    cursor_ = i;
    const std::string_view line = engine_.sheetLines[static_cast<std::size_t>(i)];
    const std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && Share(i, line, eq)) return;
    // A random place in a large map is slow to reach: it is fetched while the
    // line is evaluated.
    if (eq != std::string_view::npos && engine_.lineCount > kPrefetchFrom) {
      DefinedName(line, eq, name_);
      engine_.valueMap.Prefetch(name_);
    }
    misses_.Clear();
    engine_.misses = &misses_;
    engine_.stopAtFailure = true;
    value_.clear();
    const bool ok = SplitDefinition(engine_, line, name_, value_);
    engine_.stopAtFailure = false;
    engine_.misses = nullptr;
    if (!ok) {
      for (std::string& missing : misses_.names) byName_[std::move(missing)].push_back(i);
      for (std::string& stem : misses_.stems) byStem_[std::move(stem)].push_back(i);
      return;
    }
    Stored(i, engine_.valueMap.Insert(name_, value_));
  }

  // A line "NAME = OTHER" ("=" at eq) whose OTHER has a value that the
  // look-up gives as it is stores that very text, without evaluating or copying it: a value
  // passed along many names is held once. Any other line is evaluated.
  bool Share(int i, std::string_view line, std::size_t eq) {
    const std::string_view source = TrimWhiteSpace(line.substr(eq + 1));
    if (!IsPlainName(source)) return false;
    const std::optional<std::string_view> value = engine_.valueMap.Find(source);
    if (!value) return false;
    if (!IsNumeral(*value)) {
      // The list-variable rule may turn the text into a position.
      if (const long long* kept = engine_.valueMap.FindListPosition(source)) {
        if (*kept != 0) return false;
      } else {
        listName_.assign("LIST(").append(source).push_back(')');
        if (engine_.valueMap.Contains(listName_)) return false;
      }
    }
    DefinedName(line, eq, name_);
    Stored(i, engine_.valueMap.InsertShared(name_, source));
    return true;
  }

  // Line i has a value for name_; inserted tells whether the name was new.
  void Stored(int i, bool inserted) {
    progress_ = true;
    --unresolved_;
    if (!inserted) {
      engine_.lineStatus[static_cast<std::size_t>(i)] = kDuplicate;
      return;
    }
    engine_.lineStatus[static_cast<std::size_t>(i)] = kResolved;
    Wake(byName_, name_);
    if (!byStem_.empty()) {
      SplitTrailingNumber(name_, stem_);
      Wake(byStem_, stem_);
    }
  }

  void Wake(std::unordered_map<std::string, std::vector<int>>& waiters, const std::string& key) {
    if (waiters.empty()) return;
    const auto it = waiters.find(key);
    if (it == waiters.end()) return;
    const std::vector<int> lines = std::move(it->second);
    waiters.erase(it);
    for (int j : lines) Schedule(j);
  }

  // Line j saw a name that now exists: evaluate it again where the passes would.
  void Schedule(int j) {
    if (engine_.lineStatus[static_cast<std::size_t>(j)] != kUnresolved) return;
    // Most sheets never wait on a name; they need no record of the passes.
    if (queuedFor_.empty()) queuedFor_.assign(engine_.sheetLines.size(), 0);
    int& queued = queuedFor_[static_cast<std::size_t>(j)];
    if (j > cursor_) {
      // Pass 1 reaches every line anyway.
      if (pass_ > 1 && queued != pass_) {
        queued = pass_;
        current_.push(j);
      }
    } else if (queued != pass_ + 1) {
      queued = pass_ + 1;
      next_.push_back(j);
    }
  }

  EngineState& engine_;
  std::vector<int> queuedFor_;
  std::size_t unresolved_;
  int pass_ = 0;
  int cursor_ = 0;
  bool progress_ = false;
  // Reused from line to line.
  MissRecorder misses_;
  std::string name_, value_, stem_, listName_;
  std::unordered_map<std::string, std::vector<int>> byName_, byStem_;
  std::priority_queue<int, std::vector<int>, std::greater<int>> current_;
  std::vector<int> next_;
};

// Whether the text lies in storage that a resolution rebuilds.
bool InEngineStorage(const EngineState& engine, std::string_view text) {
  return engine.sheetLines.Holds(text) || engine.valueMap.Holds(text);
}

}  // namespace

bool ResolveVariables(EngineState& engine, std::string_view sheet, std::string_view expression, std::string& out) {
  // A text that lives in the storage rebuilt here is copied first.
  std::string sheetCopy, expressionCopy;
  if (InEngineStorage(engine, sheet)) sheet = sheetCopy.assign(sheet);
  if (InEngineStorage(engine, expression)) expression = expressionCopy.assign(expression);
  engine.valueMap.Clear();
  engine.sheetLines.Assign(sheet);
  const std::size_t n = engine.sheetLines.size();
  engine.lineCount = static_cast<std::int32_t>(n);
  engine.lineStatus.assign(n, kUnresolved);
  engine.valueMap.Reserve(n);
  engine.failure.quiet = true;
  Resolver(engine).Run();
  engine.failure.quiet = false;
  return EvaluateExplained(engine, expression, out);
}

bool SplitDefinition(EngineState& engine, std::string_view line, std::string& name, std::string& value) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  DefinedName(line, eq, name);
  return EvaluateExpression(engine, TrimWhiteSpace(line.substr(eq + 1)), value);
}

void ExplainUnresolvedLines(EngineState& engine, std::vector<std::string>& reasons) {
  std::string name, value;
  for (std::int32_t i = 0; i < engine.lineCount; ++i) {
    const std::uint8_t status = engine.lineStatus[static_cast<std::size_t>(i)];
    if (status == kResolved) continue;
    const std::string_view line = engine.sheetLines[static_cast<std::size_t>(i)];
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (status == kDuplicate) {
      DefinedName(line, eq, name);
      reasons.push_back(JoinReason("already defined: ", name));
      continue;
    }
    // As the resolution evaluated it: the first failure decides.
    engine.stopAtFailure = true;
    value.clear();
    const bool ok = SplitDefinition(engine, line, name, value);
    engine.stopAtFailure = false;
    reasons.emplace_back();
    // A line that failed before fails again; "E" would be a value.
    if (!ok) ExplainFailure(engine, reasons.back());
  }
}

void NormalizeName(std::string& name) {
  const std::size_t bang = name.find('!');
  if (bang == std::string::npos) return;
  std::size_t digitsEnd = bang + 1;
  while (digitsEnd < name.size() && name[digitsEnd] >= '0' && name[digitsEnd] <= '9') ++digitsEnd;
  const std::string_view letters = std::string_view(name).substr(digitsEnd);
  if (!IsLetters(letters)) return;
  name = name.substr(0, bang + 1) + std::string(letters) + name.substr(bang + 1, digitsEnd - bang - 1);
}

void WriteDetailsReport(const EngineState& engine, std::string& report) {
  int errors = 0;
  std::string name, display;  // reused from line to line
  for (std::int32_t i = 0; i < engine.lineCount; ++i) {
    const std::string_view line = engine.sheetLines[static_cast<std::size_t>(i)];
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    if (engine.lineStatus[static_cast<std::size_t>(i)] == kResolved) {
      name.assign(TrimWhiteSpace(line.substr(0, eq)));
      NormalizeName(name);
      display.clear();
      if (const std::optional<std::string_view> value = engine.valueMap.Find(name)) {
        for (char c : *value) {
          if (c == '\r') {
            display.push_back('#');
          } else if (c != '\n') {
            display.push_back(c);
          }
        }
      }
      TrimTrailingZeros(display);
      report.append(name).append(" = ").append(display).push_back('\n');
    } else {
      report.append("ERR ").append(IntegerText(++errors)).append(" : ").append(line).push_back('\n');
    }
  }
}

}  // namespace vell
