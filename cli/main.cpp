// vell-eval: the Vell expression engine on the command line.
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "command_line.h"
#include "interactive.h"
#include "line_reader.h"
#include "output.h"
#include "session.h"
#include "sheet_file.h"

#ifndef VELL_VERSION
#define VELL_VERSION "0"
#define VELL_RELEASE_DATE "unknown"
#endif

namespace {

// Why a result line has no value, on standard error: "vell-eval: REASON",
// or for an input line "vell-eval: line N: REASON".
void Explain(vell::cli::Output& errors, long long line, const std::string& reason) {
  char where[48] = "vell-eval: line ";
  std::size_t size = 11;  // "vell-eval: "
  if (line > 0) {
    size = static_cast<std::size_t>(std::to_chars(where + 16, where + sizeof where - 2, line).ptr - where);
    where[size++] = ':';
    where[size++] = ' ';
  }
  errors.Write(std::string_view(where, size));
  errors.WriteLine(reason);
}

// A full disk or a closed standard output must not pass for success. A reader
// that went away (EPIPE, when SIGPIPE is ignored) needs no message: with
// SIGPIPE at its default the process ends silently too. The reasons on
// standard error come after the results, and go with them when those are lost.
int Finish(vell::cli::Output& out, vell::cli::Output& errors, int status) {
  if (out.Flush()) {
    errors.Flush();
    return status;
  }
  if (out.error() != EPIPE) {
    std::fprintf(stderr, "vell-eval: cannot write standard output: %s\n", std::strerror(out.error()));
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  vell::cli::Options options;
  std::string error;
  if (!vell::cli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "vell-eval: %s (try --help)\n", error.c_str());
    return 2;
  }
  vell::cli::Output out(STDOUT_FILENO);
  vell::cli::Output errors(STDERR_FILENO);
  if (options.help) {
    out.Write(vell::cli::UsageText());
    return Finish(out, errors, 0);
  }
  if (options.version) {
    out.WriteLine("vell-eval " VELL_VERSION " (" VELL_RELEASE_DATE ")");
    return Finish(out, errors, 0);
  }

  std::string sheet;
  if (options.hasVariables && !vell::cli::ReadSheetFile(options.variablesFile, sheet, error)) {
    std::fprintf(stderr, "vell-eval: cannot read %s: %s\n", options.variablesFile.c_str(), error.c_str());
    return 2;
  }

  vell::cli::Session session(options.raw, std::move(sheet));
  int status = 0;
  if (options.hasExpression) {
    if (!session.Evaluate(options.expression, out)) {
      status = 1;
      Explain(errors, 0, session.Failure());
    }
  } else if (isatty(STDIN_FILENO)) {
    status = vell::cli::RunInteractive(session, out);
  } else {
    vell::cli::LineReader input(STDIN_FILENO);
    std::string_view line;
    for (long long number = 1; out.error() == 0 && input.Next(line); ++number) {
      if (session.Evaluate(line, out)) continue;
      status = 1;
      Explain(errors, number, session.Failure());
    }
    if (input.error() != 0) {
      std::fprintf(stderr, "vell-eval: cannot read standard input: %s\n", std::strerror(input.error()));
      status = 2;
    }
  }
  session.ResolvePending();
  if (options.details) {
    session.PrintDetails(out);
    session.ExplainDetails("vell-eval: ", errors);
  }
  return Finish(out, errors, status);
}
