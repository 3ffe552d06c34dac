// A console reporter that also keeps each benchmark's time, so a benchmark
// binary can end with a table of Vell against its rival measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vell::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;

  // One row per pair (label, fast benchmark name, slow benchmark name):
  // both times and how many times as fast the first is.
  void PrintRatios(const std::vector<std::pair<std::string, std::pair<std::string, std::string>>>& rows) const;

 private:
  std::map<std::string, double> nanoseconds_;
};

// Runs the registered benchmarks with a RatioReporter, then prints the rows.
int RunWithRatios(int argc, char** argv,
                  const std::vector<std::pair<std::string, std::pair<std::string, std::string>>>& rows);

}  // namespace vell::bench
