// One run of vell-eval: a variable sheet resolved once, then expressions
// evaluated against the engine state it left, as the window does.
#pragma once

#include <string>
#include <string_view>

#include "engine.h"
#include "output.h"

namespace vell::cli {

class Session {
 public:
  Session(bool raw, std::string sheet) : raw_(raw), sheet_(std::move(sheet)) {}

  // Evaluates one expression and prints its result line; the first one also
  // resolves the pending sheet, if there is one. True when the line holds a
  // value: false when the evaluation failed or the line printed is "E".
  bool Evaluate(std::string_view expression, Output& out);
  // Replaces the sheet (bytes of a variables file) and resolves it now.
  void LoadSheet(std::string sheet);
  // Resolves a pending sheet that no expression has resolved yet.
  void ResolvePending();
  void PrintDetails(Output& out) const;

  // Why the last expression gave no value ("unknown name ZZ").
  const std::string& Failure() const { return engine_.LastFailure(); }
  // One line "PREFIXERR n: reason" for each "ERR n" line of the report.
  void ExplainDetails(std::string_view prefix, Output& errors);

 private:
  void Resolved();

  bool raw_;
  std::string sheet_;
  bool pending_ = true;
  std::string value_;  // kept between lines so that its storage is reused
  vell::Engine engine_;
};

}  // namespace vell::cli
