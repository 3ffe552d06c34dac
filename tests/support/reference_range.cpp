#include "reference_range.h"

#include "evaluator.h"
#include "number_text.h"

namespace vell::testing {

bool MemberByMemberRange(EngineState& engine, std::string_view keyword, std::string_view stem, std::int32_t first,
                         std::int32_t last, std::string& out) {
  const bool sum = keyword == "SUM";
  const bool min = keyword == "MIN";
  bool ok = true;
  double running = 0.0;
  for (long long i = first; i <= last; ++i) {
    const std::string name = std::string(stem) + std::to_string(i);
    std::string fresh;
    std::string& into = sum ? fresh : out;
    const bool memberOk = EvaluateExpression(engine, name, into);
    if (!memberOk) ok = false;
    const double v = ReadNumber(into);
    if (sum) {
      if (memberOk) running += v;
    } else if (i == first) {
      running = v;
    } else if (min ? v < running : v > running) {
      running = v;
    }
  }
  FormatNumber(running, out);
  return ok;
}

std::string RangeTerm(std::string_view keyword, std::string_view stem, std::int32_t first, std::int32_t last) {
  std::string term(keyword);
  term.append("(").append(stem).append(std::to_string(first)).append(":");
  term.append(stem).append(std::to_string(last)).append(")");
  return term;
}

}  // namespace vell::testing
