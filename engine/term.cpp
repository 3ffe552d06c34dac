#include "term.h"

#include <optional>

#include "date_functions.h"
#include "engine_state.h"
#include "evaluator.h"
#include "list_functions.h"
#include "math_functions.h"
#include "number_text.h"
#include "scan_context.h"
#include "value_text.h"

namespace vell {

namespace {

using Handler = bool (*)(std::string_view term, std::string& out);

struct Keyword {
  std::string_view text;
  Handler handler;
};

// Tested in this order; every keyword ends in "(" and none is a prefix of another.
constexpr Keyword kKeywords[] = {
    {"IF(", EvaluateIf},         {"SIN(", EvaluateSin},       {"COS(", EvaluateCos},
    {"TAN(", EvaluateTan},       {"ASIN(", EvaluateAsin},     {"ACOS(", EvaluateAcos},
    {"ATAN(", EvaluateAtan},     {"SQRT(", EvaluateSqrt},     {"SQR(", EvaluateSqr},
    {"LOG(", EvaluateLog},       {"LN(", EvaluateLn},         {"LOG10(", EvaluateLog10},
    {"EXP(", EvaluateExp},       {"ALOG(", EvaluateAlog},     {"ALOG10(", EvaluateAlog10},
    {"POW10(", EvaluatePow10},   {"POW(", EvaluatePow},       {"NROOT(", EvaluateNroot},
    {"SUM(", EvaluateSum},       {"ROUND(", EvaluateRound},   {"OR(", EvaluateOr},
    {"AND(", EvaluateAnd},       {"MIN(", EvaluateMin},       {"MAX(", EvaluateMax},
    {"DAYS360(", EvaluateDays360}, {"DATE(", EvaluateDate},   {"DAY(", EvaluateDay},
};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

template <typename Item>
void Split(std::string_view text, std::vector<Item>& items) {
  long depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(') {
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

bool StartsWithKeyword(std::string_view term) {
  for (const Keyword& k : kKeywords)
    if (!term.empty() && k.text[0] == term[0] && StartsWith(term, k.text)) return true;
  return false;
}

void SplitArguments(std::string_view text, std::vector<std::string_view>& items) { Split(text, items); }
void SplitArguments(std::string_view text, std::vector<std::string>& items) { Split(text, items); }

std::string_view ArgumentText(std::string_view term, std::size_t keywordLength) {
  if (term.size() < keywordLength + 1) return {};
  return term.substr(keywordLength, term.size() - keywordLength - 1);
}

bool LookUpVariable(std::string_view name, std::string& out) {
  EngineState& engine = Engine();
  const std::string* value = engine.valueMap.Find(name);
  if (value == nullptr) {
    if (engine.misses != nullptr) engine.misses->names.emplace_back(name);
    out = "0.0";
    return false;
  }
  out = *value;
  if (IsNumeral(out)) return true;

  std::string listName;
  listName.reserve(name.size() + 6);
  listName.append("LIST(").append(name).append(")");
  const std::string* list = engine.valueMap.Find(listName);
  if (list == nullptr) {
    if (engine.misses != nullptr) engine.misses->names.push_back(std::move(listName));
    return true;
  }
  std::vector<std::string_view> items;
  SplitArguments(*list, items);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (EqualsIgnoringCase(items[i], out)) {
      out = IntegerText(static_cast<long long>(i + 1));
      break;
    }
  }
  return true;
}

bool EvaluateTerm(std::string_view term, std::string& out) {
  // A numeral has no letters, so upper-casing would leave it unchanged.
  if (IsNumeral(term)) return ApplyPercent(term, out);
  std::string upper;
  const ScanContext* context = term.size() >= ScanContext::kMinLength ? ScanContext::For(term) : nullptr;
  std::optional<ScanContext> upperContext;
  if (context != nullptr ? context->HasLowerAscii(term) : HasLowerAscii(term)) {
    upper.assign(term.data(), term.size());
    ToUpperAscii(upper);
    term = upper;
    // Everything nested in the term is a view of the copy from here on.
    if (upper.size() >= ScanContext::kMinLength) upperContext.emplace(upper);
  }

  if (term.find('(') != std::string_view::npos) {
    for (const Keyword& k : kKeywords) {
      if (k.text[0] != term[0] || !StartsWith(term, k.text)) continue;
      // A call that lost its ")" would read its last character as one.
      if (term.back() != ')') {
        out = "E";
        return false;
      }
      return k.handler(term, out);
    }
    if (term.front() == '(' && term.back() == ')')
      return EvaluateExpression(term.substr(1, term.size() - 2), out);
  }
  return LookUpVariable(term, out);
}

}  // namespace vell
