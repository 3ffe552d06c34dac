#include "command_line.h"

namespace vell::cli {

namespace {

// "-3+4" or "-(1)" is an expression, "-d" or "--raw" an option.
bool LooksLikeOption(const std::string& arg) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (arg == "--") return true;
  if (arg.size() < 2 || arg[0] != '-') return false;
  if (arg[1] == '-') return arg.size() > 2 && letter(arg[2]);
  return letter(arg[1]);
}

void AddOperand(Options& options, const std::string& arg) {
  if (options.hasExpression) options.expression.push_back(' ');
  options.expression += arg;
  options.hasExpression = true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, Options& options, std::string& error) {
  bool operandsOnly = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (operandsOnly || !LooksLikeOption(arg)) {
      AddOperand(options, arg);
      continue;
    }
    if (arg == "--") {
      operandsOnly = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "-d" || arg == "--details") {
      options.details = true;
    } else if (arg == "--raw") {
      options.raw = true;
    } else if (arg == "-f" || arg == "--variables") {
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a FILE";
        return false;
      }
      options.hasVariables = true;
      options.variablesFile = args[++i];
    } else if (arg.rfind("--variables=", 0) == 0) {
      options.hasVariables = true;
      options.variablesFile = arg.substr(12);
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  return true;
}

std::string UsageText() {
  return "Usage: vell-eval [-f FILE | --variables FILE] [-d | --details] [--raw] [EXPRESSION]\n"
         "Evaluates a Vell expression, optionally against a variable sheet.\n"
         "\n"
         "  -f, --variables FILE  resolve the variable sheet in FILE (one name=expression per line)\n"
         "  -d, --details         print the details report after the result\n"
         "      --raw             print the engine's value text unchanged, even on failure\n"
         "  -h, --help            show this help and exit\n"
         "      --version         show the version and exit\n"
         "\n"
         "With EXPRESSION, prints its result (E on failure). Without it, evaluates each\n"
         "line of standard input and prints one result line per input line.\n"
         "Use -- before an expression that starts with a letter after '-'.\n"
         "\n"
         "Exit status: 0 every line has a value, 1 a line failed or printed E,\n"
         "2 usage error, unreadable variables file or input, or write error.\n"
         "\n"
         "Examples:\n"
         "  vell-eval 'sin(30)'                 prints 0.5\n"
         "  vell-eval -f sheet.txt -d 'y/2'     resolves sheet.txt, prints the result and report\n"
         "  echo '2^3^2' | vell-eval            prints 64\n";
}

}  // namespace vell::cli
