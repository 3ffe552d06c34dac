// A plain pass-by-pass resolution of a variable sheet, written the simple way,
// to check the engine's resolution against.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vell {
struct EngineState;
}

namespace vell::testing {

// Resolves like ResolveVariables, but evaluating every unresolved line in every pass.
bool ResolveVariablesByPasses(EngineState& engine, std::string_view sheet, std::string_view expression,
                              std::string& out);

// Everything observable after a resolution.
struct ResolutionSnapshot {
  bool ok = false;
  std::string out;
  std::vector<std::string> lines;
  std::vector<int> status;
  std::map<std::string, std::string> values;
  std::string report;
  bool operator==(const ResolutionSnapshot& o) const {
    return ok == o.ok && out == o.out && lines == o.lines && status == o.status && values == o.values &&
           report == o.report;
  }
};

ResolutionSnapshot TakeSnapshot(const EngineState& engine, bool ok, const std::string& out);

}  // namespace vell::testing
