// vell-eval: the Vell expression engine on the command line.
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "interactive.h"
#include "session.h"
#include "sheet_file.h"

#ifndef VELL_VERSION
#define VELL_VERSION "0"
#endif

int main(int argc, char** argv) {
  vell::cli::Options options;
  std::string error;
  if (!vell::cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "vell-eval: %s (try --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(vell::cli::UsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("vell-eval %s\n", VELL_VERSION);
    return 0;
  }

  std::string sheet;
  if (options.hasVariables && !vell::cli::ReadSheetFile(options.variablesFile, sheet, error)) {
    std::fprintf(stderr, "vell-eval: cannot read %s: %s\n", options.variablesFile.c_str(), error.c_str());
    return 2;
  }

  vell::cli::Session session(options.raw, sheet);
  int status = 0;
  if (options.hasExpression) {
    status = session.Evaluate(options.expression, stdout) ? 0 : 1;
  } else if (isatty(STDIN_FILENO)) {
    status = vell::cli::RunInteractive(session);
  } else {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!session.Evaluate(line, stdout)) status = 1;
    }
  }
  session.ResolvePending();
  if (options.details) session.PrintDetails(stdout);
  std::fflush(stdout);
  return status;
}
