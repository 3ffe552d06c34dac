// A variable sheet plus an expression (the text after the last line feed)
// through ResolveVariables and WriteDetailsReport, checked against the plain
// pass-by-pass resolution: lines, status, values, report and result must agree.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine.h"
#include "reference_resolution.h"

namespace {

// The plain passes cost lines times passes; beyond this the comparison is skipped.
constexpr std::size_t kMaxReferenceLines = 200;

std::size_t CountLines(const std::string& sheet) {
  std::size_t lines = 0;
  for (std::size_t i = 0; i < sheet.size(); ++i)
    if ((sheet[i] == '\n' || sheet[i] == '\r') && i > 0 && sheet[i - 1] != '\n' && sheet[i - 1] != '\r') ++lines;
  return lines + 1;
}

void Dump(const char* title, const vell::testing::ResolutionSnapshot& s) {
  std::fprintf(stderr, "%s: ok %d out [%s]\n", title, s.ok, s.out.c_str());
  for (std::size_t i = 0; i < s.lines.size(); ++i) std::fprintf(stderr, "  %d %s\n", s.status[i], s.lines[i].c_str());
  std::fprintf(stderr, "report:\n%s\n", s.report.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = input.rfind('\n');
  const std::string sheet = split == std::string::npos ? std::string() : input.substr(0, split);
  const std::string expression = split == std::string::npos ? input : input.substr(split + 1);

  vell::Engine engine;
  std::string out = "seed";
  const bool ok = engine.ResolveVariables(sheet, expression, out);
  const vell::testing::ResolutionSnapshot fast = vell::testing::TakeSnapshot(engine.State(), ok, out);
  if (engine.State().nesting != 0 || engine.State().misses != nullptr) {
    std::fprintf(stderr, "evaluation bookkeeping left behind\n");
    std::abort();
  }
  if (CountLines(sheet) > kMaxReferenceLines) return 0;

  std::string expectedOut = "seed";
  vell::Engine plainEngine;
  const bool expectedOk = vell::testing::ResolveVariablesByPasses(plainEngine.State(), sheet, expression, expectedOut);
  const vell::testing::ResolutionSnapshot plain =
      vell::testing::TakeSnapshot(plainEngine.State(), expectedOk, expectedOut);
  if (!(fast == plain)) {
    Dump("resolution", fast);
    Dump("plain passes", plain);
    std::abort();
  }
  return 0;
}
