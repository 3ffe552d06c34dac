#include "term.h"

#include <optional>

#include "engine_state.h"
#include "evaluator.h"
#include "evaluator_steps.h"
#include "failure_note.h"
#include "functions.h"
#include "number_text.h"
#include "scan_context.h"
#include "value_text.h"

namespace vell {

namespace {

// With the context of a long text, a group met at depth 0 or more is
// skipped whole: no comma inside it is at depth 0, and one that does not
// close within the text keeps every comma after it from depth 0.
template <typename Item>
void Split(std::string_view text, std::vector<Item>& items, const ScanContext* context = nullptr) {
  long depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(') {
      if (context != nullptr && depth >= 0) {
        const char* partner = context->PartnerOf(text.data() + i);
        if (partner == nullptr || partner >= text.data() + text.size()) break;
        i = static_cast<std::size_t>(partner - text.data());
        continue;
      }
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth == 0) {
      items.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) items.emplace_back(text.substr(start));
}

}  // namespace

void SplitArguments(std::string_view text, std::vector<std::string_view>& items) { Split(text, items); }
void SplitArguments(std::string_view text, std::vector<std::string>& items) { Split(text, items); }
void SplitArguments(const EngineState& engine, std::string_view text, std::vector<std::string_view>& items) {
  Split(text, items, text.size() >= ScanContext::kMinLength ? ScanContext::For(engine, text) : nullptr);
}

bool LookUpVariable(EngineState& engine, std::string_view name, std::string& out) {
  const std::optional<std::string_view> value = engine.valueMap.Find(name);
  if (!value) {
    if (engine.misses != nullptr) engine.misses->names.emplace_back(name);
    out = "0.0";
    NoteUnknownName(engine, name);
    NoteFailure(engine);
    return false;
  }
  if (!IsNumeral(*value)) {
    // The list-variable rule: a text found among the items of LIST(name)
    // reads as its position there. Both values stay until the map is
    // cleared, so the outcome is worked out once; while the list is missing
    // it may still be defined, and nothing is kept.
    const long long* kept = engine.valueMap.FindListPosition(name);
    long long position = kept != nullptr ? *kept : 0;
    if (kept == nullptr) {
      std::string listName;
      listName.reserve(name.size() + 6);
      listName.append("LIST(").append(name).append(")");
      const std::optional<std::string_view> list = engine.valueMap.Find(listName);
      if (!list) {
        if (engine.misses != nullptr) engine.misses->names.push_back(std::move(listName));
        out.assign(value->data(), value->size());
        return true;
      }
      std::vector<std::string_view> items;
      SplitArguments(*list, items);
      for (std::size_t i = 0; i < items.size() && position == 0; ++i)
        if (EqualsIgnoringCase(items[i], *value)) position = static_cast<long long>(i) + 1;
      engine.valueMap.KeepListPosition(name, position);
    }
    if (position != 0) {
      out = IntegerText(position);
      return true;
    }
  }
  out.assign(value->data(), value->size());
  return true;
}

StemWalker::Innermost ClassifyStemTerm(std::string_view stem, std::string& upper) {
  std::string probe(stem);
  probe.push_back('0');
  if (IsNumeral(probe)) return StemWalker::Innermost::kNumeral;
  upper.assign(stem.data(), stem.size());
  ToUpperAscii(upper);
  if (upper.find('(') != std::string::npos && FindFunction(upper) != nullptr) return StemWalker::Innermost::kFails;
  return StemWalker::Innermost::kName;
}

bool EvaluateTerm(EngineState& engine, std::string_view term, std::string& out, KnownNumber* number) {
  // A numeral has no letters, so upper-casing would leave it unchanged.
  if (IsNumeral(term)) return ApplyPercent(term, out);
  std::string upper;
  const ScanContext* context = ScanContext::For(engine, term);
  std::optional<ScanContext> upperContext;
  if (context != nullptr ? context->HasLowerAscii(term) : HasLowerAscii(term)) {
    upper.assign(term.data(), term.size());
    ToUpperAscii(upper);
    // Everything nested in the term is a view of the copy from here on.
    if (context != nullptr) {
      upperContext.emplace(engine, upper, *context, term);
    } else {
      upperContext.emplace(engine, upper);
    }
    term = upper;
  }

  if (term.find('(') != std::string_view::npos) {
    if (const Function* f = FindFunction(term)) {
      // A call that lost its ")" would read its last character as one.
      if (term.back() != ')') {
        NoteReason(engine, "missing closing parenthesis in ", term);
        out = "E";
        return false;
      }
      return CallFunction(engine, *f, term.substr(f->keyword.size(), term.size() - f->keyword.size() - 1), out, number);
    }
    if (term.front() == '(' && term.back() == ')')
      return EvaluateExpression(engine, term.substr(1, term.size() - 2), out);
  }
  return LookUpVariable(engine, term, out);
}

}  // namespace vell
