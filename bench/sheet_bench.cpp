// Resolution of large variable sheets, with the details report.
#include <benchmark/benchmark.h>

#include <string>

#include "vell_engine.h"

namespace {

enum class Order { kForward, kReverse, kIndependent };

// Forward: each line uses the line above. Reverse: each line uses the line
// below, so plain passes would need one pass per line. Independent: no references.
std::string MakeSheet(int n, Order order) {
  std::string s;
  s.reserve(static_cast<std::size_t>(n) * 16);
  for (int i = 0; i < n; ++i) {
    const std::string name = "V" + std::to_string(i);
    switch (order) {
      case Order::kForward: s += name + (i == 0 ? "=1" : "=V" + std::to_string(i - 1) + "+1"); break;
      case Order::kReverse: s += name + (i == n - 1 ? "=1" : "=V" + std::to_string(i + 1) + "+1"); break;
      case Order::kIndependent: s += name + "=" + std::to_string(i) + "*2"; break;
    }
    s += "\r\n";
  }
  return s;
}

void Resolve(benchmark::State& state, Order order) {
  const std::string sheet = MakeSheet(static_cast<int>(state.range(0)), order);
  vell::Engine engine;
  for (auto _ : state) {
    std::string out, report;
    const bool ok = engine.ResolveVariables(sheet, "V0", out);
    engine.WriteDetailsReport(report);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(report.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SheetForward(benchmark::State& s) { Resolve(s, Order::kForward); }
void BM_SheetReverse(benchmark::State& s) { Resolve(s, Order::kReverse); }
void BM_SheetIndependent(benchmark::State& s) { Resolve(s, Order::kIndependent); }

BENCHMARK(BM_SheetForward)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SheetReverse)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SheetIndependent)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
