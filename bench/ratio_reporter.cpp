#include "ratio_reporter.h"

#include <cstdio>

namespace vell::bench {

namespace {

double ToNanoseconds(double time, benchmark::TimeUnit unit) {
  switch (unit) {
    case benchmark::kSecond: return time * 1e9;
    case benchmark::kMillisecond: return time * 1e6;
    case benchmark::kMicrosecond: return time * 1e3;
    default: return time;
  }
}

}  // namespace

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
    nanoseconds_[run.benchmark_name()] = ToNanoseconds(run.GetAdjustedRealTime(), run.time_unit);
  }
  ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::PrintRatios(
    const std::vector<std::pair<std::string, std::pair<std::string, std::string>>>& rows) const {
  std::printf("\n%-34s %16s %16s %8s\n", "", "Vell", "rival", "ratio");
  for (const auto& [label, names] : rows) {
    const auto fast = nanoseconds_.find(names.first);
    const auto slow = nanoseconds_.find(names.second);
    if (fast == nanoseconds_.end() || slow == nanoseconds_.end()) continue;
    std::printf("%-34s %13.0f ns %13.0f ns %7.2fx\n", label.c_str(), fast->second, slow->second,
                slow->second / fast->second);
  }
}

int RunWithRatios(int argc, char** argv,
                  const std::vector<std::pair<std::string, std::pair<std::string, std::string>>>& rows) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(rows);
  benchmark::Shutdown();
  return 0;
}

}  // namespace vell::bench
