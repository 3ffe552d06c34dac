// One-shot evaluation (a fresh text, evaluated once, as the window does it)
// of the three workloads, by Vell and by muparser (fresh SetExpr and Eval on
// one parser object), plus Vell's cost against expression length.
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <string>
#include <vector>

#include "ratio_reporter.h"
#include "vell_engine.h"
#include "workloads.h"

namespace {

const std::vector<std::string>& W1() {
  static const std::vector<std::string> w = vell::bench::ShortExpressions(100000);
  return w;
}
const std::vector<std::string>& W2() {
  static const std::vector<std::string> w = vell::bench::FlatSums(64, 3000);
  return w;
}
const std::vector<std::string>& W3() {
  static const std::vector<std::string> w = vell::bench::NestedExpressions(256, 200);
  return w;
}

// Each iteration evaluates the next text of the workload, round robin.
void RunVell(benchmark::State& state, const std::vector<std::string>& texts) {
  vell::Engine engine;
  std::size_t i = 0, bytes = 0;
  for (auto _ : state) {
    const std::string& text = texts[i];
    std::string out;
    benchmark::DoNotOptimize(engine.EvaluateExpression(text, out));
    benchmark::DoNotOptimize(out.data());
    bytes += text.size();
    if (++i == texts.size()) i = 0;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void RunMuparser(benchmark::State& state, const std::vector<std::string>& texts) {
  mu::Parser parser;
  std::size_t i = 0, bytes = 0;
  for (auto _ : state) {
    const std::string& text = texts[i];
    try {
      parser.SetExpr(text);
      benchmark::DoNotOptimize(parser.Eval());
    } catch (const mu::Parser::exception_type& e) {
      state.SkipWithError(("muparser rejects: " + text.substr(0, 60)).c_str());
      break;
    }
    bytes += text.size();
    if (++i == texts.size()) i = 0;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void BM_W1_Vell(benchmark::State& s) { RunVell(s, W1()); }
void BM_W1_Muparser(benchmark::State& s) { RunMuparser(s, W1()); }
void BM_W2_Vell(benchmark::State& s) { RunVell(s, W2()); }
void BM_W2_Muparser(benchmark::State& s) { RunMuparser(s, W2()); }
void BM_W3_Vell(benchmark::State& s) { RunVell(s, W3()); }
void BM_W3_Muparser(benchmark::State& s) { RunMuparser(s, W3()); }

BENCHMARK(BM_W1_Vell);
BENCHMARK(BM_W1_Muparser);
BENCHMARK(BM_W2_Vell);
BENCHMARK(BM_W2_Muparser);
BENCHMARK(BM_W3_Vell);
BENCHMARK(BM_W3_Muparser);

// Cost against length: flat sums of n terms and nesting n levels deep.
void BM_Linear_FlatSum(benchmark::State& state) {
  const std::string text = vell::bench::FlatSums(1, static_cast<int>(state.range(0)))[0];
  vell::Engine engine;
  for (auto _ : state) {
    std::string out;
    benchmark::DoNotOptimize(engine.EvaluateExpression(text, out));
  }
  state.SetComplexityN(state.range(0));
}
void BM_Linear_Nested(benchmark::State& state) {
  const std::string text = vell::bench::NestedExpressions(1, static_cast<int>(state.range(0)))[0];
  vell::Engine engine;
  for (auto _ : state) {
    std::string out;
    benchmark::DoNotOptimize(engine.EvaluateExpression(text, out));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Linear_FlatSum)->RangeMultiplier(4)->Range(250, 64000)->Complexity();
BENCHMARK(BM_Linear_Nested)->RangeMultiplier(2)->Range(125, 2000)->Complexity();

}  // namespace

int main(int argc, char** argv) {
  return vell::bench::RunWithRatios(argc, argv,
                                    // clang-format off
                                    {{"W1 short expressions", {"BM_W1_Vell", "BM_W1_Muparser"}},
                                     {"W2 flat sums of 3000 terms", {"BM_W2_Vell", "BM_W2_Muparser"}},
                                     {"W3 nested 200 deep", {"BM_W3_Vell", "BM_W3_Muparser"}}});
  // clang-format on
}
