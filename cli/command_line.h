// The command line of vell-eval.
#pragma once

#include <string>
#include <vector>

namespace vell::cli {

struct Options {
  bool help = false;
  bool version = false;
  bool details = false;
  bool raw = false;
  bool hasVariables = false;
  std::string variablesFile;
  bool hasExpression = false;
  std::string expression;  // the operands joined by blanks
};

// Parses argv[1..]; on a usage error returns false with a one-line message.
bool ParseCommandLine(const std::vector<std::string>& args, Options& options, std::string& error);

std::string UsageText();

}  // namespace vell::cli
