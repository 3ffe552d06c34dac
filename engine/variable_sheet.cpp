#include "variable_sheet.h"

#include <functional>
#include <optional>
#include <queue>
#include <unordered_map>
#include <vector>

#include "engine_state.h"
#include "evaluator.h"
#include "number_text.h"
#include "value_text.h"

namespace vell {

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

void StoreLines(std::string_view sheet, EngineState& engine) {
  std::size_t i = 0;
  while (i < sheet.size()) {
    while (i < sheet.size() && IsLineBreak(sheet[i])) ++i;
    if (i >= sheet.size()) break;
    std::size_t end = i;
    while (end < sheet.size() && !IsLineBreak(sheet[end])) ++end;
    const std::string_view piece = sheet.substr(i, end - i);
    i = end;
    if (piece[0] == ';' || piece[0] == '?') continue;
    std::string line(TrimWhiteSpace(piece));
    ToUpperAscii(line);
    engine.sheetLines.push_back(std::move(line));
  }
}

// Resolves the stored lines exactly as repeated passes do (every unresolved
// line evaluated in text order, pass after pass, while a pass makes progress
// and leaves something unresolved), but evaluates a failed line again only
// once a name it missed has been stored: until then its outcome cannot change.
class Resolver {
 public:
  explicit Resolver(EngineState& engine)
      : engine_(engine), queuedFor_(engine.sheetLines.size(), 0), unresolved_(engine.sheetLines.size()) {}

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
    misses_.Clear();
    engine_.misses = &misses_;
    engine_.stopAtFailure = true;
    std::string name, value;
    const bool ok = SplitDefinition(engine_, engine_.sheetLines[static_cast<std::size_t>(i)], name, value);
    engine_.stopAtFailure = false;
    engine_.misses = nullptr;
    if (!ok) {
      for (std::string& missing : misses_.names) byName_[std::move(missing)].push_back(i);
      for (std::string& stem : misses_.stems) byStem_[std::move(stem)].push_back(i);
      return;
    }
    progress_ = true;
    --unresolved_;
    if (!engine_.valueMap.Insert(name, value)) {
      engine_.lineStatus[static_cast<std::size_t>(i)] = kDuplicate;
      return;
    }
    engine_.lineStatus[static_cast<std::size_t>(i)] = kResolved;
    Wake(byName_, name);
    if (!byStem_.empty()) {
      std::string stem;
      SplitTrailingNumber(name, stem);
      Wake(byStem_, stem);
    }
  }

  void Wake(std::unordered_map<std::string, std::vector<int>>& waiters, const std::string& key) {
    const auto it = waiters.find(key);
    if (it == waiters.end()) return;
    const std::vector<int> lines = std::move(it->second);
    waiters.erase(it);
    for (int j : lines) Schedule(j);
  }

  // Line j saw a name that now exists: evaluate it again where the passes would.
  void Schedule(int j) {
    if (engine_.lineStatus[static_cast<std::size_t>(j)] != kUnresolved) return;
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
  MissRecorder misses_;
  std::unordered_map<std::string, std::vector<int>> byName_, byStem_;
  std::priority_queue<int, std::vector<int>, std::greater<int>> current_;
  std::vector<int> next_;
};

}  // namespace

bool ResolveVariables(EngineState& engine, std::string_view sheet, std::string_view expression, std::string& out) {
  // Private copies: the texts may live in the state that is rebuilt here.
  const std::string sheetText(sheet), expressionText(expression);
  engine.valueMap.Clear();
  engine.sheetLines.clear();
  StoreLines(sheetText, engine);
  engine.lineCount = static_cast<std::int32_t>(engine.sheetLines.size());
  engine.lineStatus.assign(engine.sheetLines.size(), kUnresolved);
  Resolver(engine).Run();
  return EvaluateExpression(engine, expressionText, out);
}

bool SplitDefinition(EngineState& engine, std::string_view line, std::string& name, std::string& value) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  std::size_t nameEnd = eq;
  while (nameEnd > 0 && IsWhiteSpace(line[nameEnd - 1])) --nameEnd;
  name.assign(line.data(), nameEnd);
  NormalizeName(name);
  return EvaluateExpression(engine, TrimWhiteSpace(line.substr(eq + 1)), value);
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
  for (std::int32_t i = 0; i < engine.lineCount; ++i) {
    const std::string& line = engine.sheetLines[static_cast<std::size_t>(i)];
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (engine.lineStatus[static_cast<std::size_t>(i)] == kResolved) {
      std::string name(TrimWhiteSpace(std::string_view(line).substr(0, eq)));
      NormalizeName(name);
      const std::optional<std::string_view> value = engine.valueMap.Find(name);
      std::string display;
      if (value) {
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
