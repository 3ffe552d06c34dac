// Ranges of a million members over a small sheet, whatever their stem: each
// must stay well under a second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "vell_engine.h"

namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

// The stems, named for the report.
const std::vector<std::pair<const char*, std::string>>& Stems() {
  static const std::vector<std::pair<const char*, std::string>> stems = {
      {"name", "A"},
      {"signed", "-A"},
      {"sum", "1+A"},
      {"product_sum", "1-2*A"},
      {"numeral", "1."},
      {"quoted", "\"0."},
      {"long_chain", Repeat("1+", 900)},
      {"long_zeros", Repeat("0", 1800) + "."},
      {"call", "IF((" + Repeat("1+", 900) + "1),2,A"},
  };
  return stems;
}

void BM_MillionMembers(benchmark::State& state) {
  const auto& [label, stem] = Stems()[static_cast<std::size_t>(state.range(0))];
  vell::Engine engine;
  std::string out;
  engine.ResolveVariables("A1=1\nA500000=2\nA999999=3\nB=4", "", out);
  const std::string text = "SUM(" + stem + "1:" + stem + "1000000)";
  for (auto _ : state) {
    engine.EvaluateExpression(text, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetLabel(label);
}
BENCHMARK(BM_MillionMembers)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

}  // namespace
