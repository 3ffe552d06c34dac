#include "session.h"

#include "vell_engine.h"

namespace vell::cli {

bool Session::Evaluate(const std::string& expression, Output& out) {
  std::string value;
  bool ok;
  if (pending_ && !sheet_.empty()) {
    ok = ResolveVariables(sheet_, expression, value);
  } else {
    ok = EvaluateExpression(expression, value);
  }
  pending_ = false;
  if (!ok && !raw_) value = "E";
  if (ok && !raw_) TrimTrailingZeros(value);
  out.WriteLine(value);
  // Domain errors and overflow succeed in the engine but leave "E".
  return ok && value != "E";
}

void Session::LoadSheet(std::string sheet) {
  sheet_ = std::move(sheet);
  pending_ = true;
  ResolvePending();
}

void Session::ResolvePending() {
  if (pending_ && !sheet_.empty()) {
    std::string unused;
    ResolveVariables(sheet_, "", unused);
  }
  pending_ = false;
}

void Session::PrintDetails(Output& out) const {
  std::string report;
  WriteDetailsReport(report);
  out.Write(report);
}

}  // namespace vell::cli
