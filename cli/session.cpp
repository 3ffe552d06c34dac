#include "session.h"

#include <string>
#include <vector>

#include "vell_engine.h"

namespace vell::cli {

bool Session::Evaluate(std::string_view expression, Output& out) {
  value_.clear();  // an empty expression leaves it untouched
  bool ok;
  if (pending_ && !sheet_.empty()) {
    ok = engine_.ResolveVariables(sheet_, expression, value_);
    Resolved();
  } else {
    ok = engine_.EvaluateExpression(expression, value_);
  }
  pending_ = false;
  if (!ok && !raw_) value_ = "E";
  if (ok && !raw_) TrimTrailingZeros(value_);
  out.WriteLine(value_);
  // Domain errors and overflow succeed in the engine but leave "E".
  return ok && value_ != "E";
}

void Session::LoadSheet(std::string sheet) {
  sheet_ = std::move(sheet);
  pending_ = true;
  ResolvePending();
}

void Session::ResolvePending() {
  if (pending_ && !sheet_.empty()) {
    std::string unused;
    engine_.ResolveVariables(sheet_, "", unused);
    Resolved();
  }
  pending_ = false;
}

void Session::Resolved() {
  // The engine keeps the lines it needs; the file's text is not read again.
  sheet_ = std::string();
}

void Session::PrintDetails(Output& out) const {
  std::string report;
  engine_.WriteDetailsReport(report);
  out.Write(report);
}

void Session::ExplainDetails(std::string_view prefix, Output& errors) {
  const std::vector<std::string> reasons = engine_.ErrorReasons();
  for (std::size_t i = 0; i < reasons.size(); ++i) {
    errors.Write(prefix);
    errors.Write("ERR ");
    errors.Write(std::to_string(i + 1));
    errors.Write(": ");
    errors.WriteLine(reasons[i]);
  }
}

}  // namespace vell::cli
