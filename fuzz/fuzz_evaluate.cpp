// EvaluateExpression on arbitrary bytes, against a small resolved sheet so
// that names, list variables, ranges and dates all have something to find.
// Short, shallow inputs are also held against the recursive definition, and
// used as the stem of ranges held against member-by-member evaluation.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine.h"
#include "list_functions.h"
#include "reference_evaluation.h"
#include "reference_range.h"
#include "value_text.h"

namespace {

// The harness keeps one engine for the whole run: the sheet is resolved once.
vell::Engine& Harness() {
  static vell::Engine engine;
  return engine;
}

const char kSheet[] =
    "x=4\ny=-2.5\nA1=5\nA2=2\nA3=7\nCOLOR=\"green\"\nLIST(COLOR)=\"red,green,blue\"\n"
    "D1=\"25-12-1999\"\nD2=\"1/1/2000\"\nT=\"text\"\nBIG=10^300\nP!1A=3\n";

// Deepest parenthesis nesting; the reference recursion is kept shallow.
int MaxDepth(const std::string& text) {
  int depth = 0, deepest = 0;
  for (char c : text) {
    if (c == '(') deepest = std::max(deepest, ++depth);
    if (c == ')') --depth;
  }
  return deepest;
}

// SUM, MIN and MAX over a few members of text taken as a stem (without its
// colons, never ending in a digit) must give what each member gives in turn.
void CheckRanges(const std::string& text) {
  std::string stem;
  for (char c : text)
    if (c != ':') stem.push_back(c);
  vell::ToUpperAscii(stem);
  if (stem.empty() || (stem.back() >= '0' && stem.back() <= '9')) stem.push_back('A');
  const std::int32_t first = static_cast<unsigned char>(text.empty() ? 0 : text[0]) % 12;
  // Up to 40 members: more than the sheet has names, so the walk of the
  // value map that large ranges take is held too.
  const std::int32_t last = first + static_cast<unsigned char>(text.empty() ? 0 : text.back()) % 41;
  for (const char* keyword : {"SUM", "MIN", "MAX"}) {
    const std::string term = vell::testing::RangeTerm(keyword, stem, first, last);
    std::string out = "seed", expected = "seed";
    const std::string k = keyword;
    const std::string_view args = std::string_view(term).substr(4, term.size() - 5);
    vell::EngineState& engine = Harness().State();
    const bool ok = k == "SUM"   ? vell::EvaluateSum(engine, args, out)
                    : k == "MIN" ? vell::EvaluateMin(engine, args, out)
                                 : vell::EvaluateMax(engine, args, out);
    const bool expectedOk = vell::testing::MemberByMemberRange(engine, keyword, stem, first, last, expected);
    if (ok != expectedOk || out != expected) {
      std::fprintf(stderr, "range %s: %d [%s]\nmember by member: %d [%s]\n", term.c_str(), ok, out.c_str(), expectedOk,
                   expected.c_str());
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string out;
  Harness().ResolveVariables(kSheet, "", out);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string out = "seed";
  const bool ok = Harness().EvaluateExpression(text, out);
  if (Harness().State().nesting != 0) {
    std::fprintf(stderr, "nesting count left at %d\n", Harness().State().nesting);
    std::abort();
  }
  if (size <= 512 && MaxDepth(text) <= 64) {
    std::string expected = "seed";
    const bool expectedOk = vell::testing::RecursiveEvaluate(Harness().State(), text, expected);
    if (ok != expectedOk || out != expected) {
      std::fprintf(stderr, "engine: %d [%s]\nrecursive definition: %d [%s]\n", ok, out.c_str(), expectedOk,
                   expected.c_str());
      std::abort();
    }
    CheckRanges(text);
  }
  return 0;
}
