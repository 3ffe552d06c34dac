// vell-eval: the Vell expression engine on the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "vell_engine.h"

#ifndef VELL_VERSION
#define VELL_VERSION "0"
#endif

namespace {

void WriteLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

bool ReadFile(const std::string& path, std::string& bytes, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = std::strerror(errno);
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) {
    error = "read error";
    return false;
  }
  return true;
}

// The text the Result box would show, or the raw value text.
void PrintResult(bool ok, std::string value, bool raw) {
  if (raw) {
    WriteLine(value);
  } else if (ok) {
    vell::TrimTrailingZeros(value);
    WriteLine(value);
  } else {
    WriteLine("E");
  }
}

class Session {
 public:
  Session(const vell::cli::Options& options, std::string sheet) : options_(options), sheet_(std::move(sheet)) {}

  // The first evaluation resolves the sheet (if any); later ones use its state.
  bool Evaluate(const std::string& expression) {
    std::string value;
    bool ok;
    if (!sheetResolved_ && !sheet_.empty()) {
      ok = vell::ResolveVariables(sheet_, expression, value);
    } else {
      ok = vell::EvaluateExpression(expression, value);
    }
    sheetResolved_ = true;
    PrintResult(ok, value, options_.raw);
    return ok;
  }

  void Finish() {
    if (!sheetResolved_ && !sheet_.empty()) {
      std::string unused;
      vell::ResolveVariables(sheet_, "", unused);
    }
    if (options_.details) {
      std::string report;
      vell::WriteDetailsReport(report);
      std::fwrite(report.data(), 1, report.size(), stdout);
    }
  }

 private:
  const vell::cli::Options& options_;
  std::string sheet_;
  bool sheetResolved_ = false;
};

}  // namespace

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
  if (options.hasVariables) {
    if (!ReadFile(options.variablesFile, sheet, error)) {
      std::fprintf(stderr, "vell-eval: cannot read %s: %s\n", options.variablesFile.c_str(), error.c_str());
      return 2;
    }
    sheet = std::string(vell::TrimWhiteSpace(sheet));
  }

  Session session(options, sheet);
  bool allOk = true;
  if (options.hasExpression) {
    allOk = session.Evaluate(options.expression);
  } else {
    std::string line;
    while (std::getline(std::cin, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!session.Evaluate(line)) allOk = false;
    }
  }
  session.Finish();
  std::fflush(stdout);
  return allOk ? 0 : 1;
}
