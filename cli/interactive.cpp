#include "interactive.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "line_reader.h"
#include "sheet_file.h"
#include "vell_engine.h"

#ifdef VELL_HAVE_READLINE
#include <readline/history.h>
#include <readline/readline.h>
#endif

namespace vell::cli {

namespace {

const char kPrompt[] = "vell> ";

const char kHelp[] =
    "Type an expression to evaluate it, or one of:\n"
    "  :vars FILE   resolve the variable sheet in FILE\n"
    "  :details     print the details report of the current sheet\n"
    "  :help        show this text\n"
    "  :quit        leave (so does Ctrl-D)\n";

bool ReadLine(std::string& line, Output& out) {
  out.Flush();
#ifdef VELL_HAVE_READLINE
  char* text = readline(kPrompt);
  if (text == nullptr) return false;
  line = text;
  std::free(text);
  return true;
#else
  static LineReader input(STDIN_FILENO);
  out.Write(kPrompt);
  out.Flush();
  std::string_view text;
  if (!input.Next(text)) return false;
  line = text;
  return true;
#endif
}

void Remember(const std::string& line, const std::string& historyPath) {
#ifdef VELL_HAVE_READLINE
  add_history(line.c_str());
  if (!historyPath.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(historyPath).parent_path(), ec);
    if (append_history(1, historyPath.c_str()) != 0) write_history(historyPath.c_str());
    history_truncate_file(historyPath.c_str(), 1000);
  }
#else
  (void)line;
  (void)historyPath;
#endif
}

// The reasons of the report's "ERR n" lines on standard error, after what
// is on standard output so far.
void ExplainNow(Session& session, Output& out) {
  Output errors(STDERR_FILENO);
  session.ExplainDetails("", errors);
  out.Flush();
  errors.Flush();
}

// Handles a ":command" line; false when the prompt should end.
bool RunCommand(const std::string& line, Session& session, Output& out) {
  const std::size_t space = line.find_first_of(" \t");
  const std::string command = line.substr(0, space);
  const std::string argument(space == std::string::npos ? "" : TrimWhiteSpace(line.substr(space)));
  if (command == ":quit" || command == ":q" || command == ":exit") return false;
  if (command == ":details") {
    session.PrintDetails(out);
    ExplainNow(session, out);
  } else if (command == ":vars") {
    std::string sheet, error;
    if (argument.empty()) {
      std::fputs(":vars needs a FILE\n", stderr);
    } else if (!ReadSheetFile(argument, sheet, error)) {
      std::fprintf(stderr, "cannot read %s: %s\n", argument.c_str(), error.c_str());
    } else {
      session.LoadSheet(std::move(sheet));
    }
  } else if (command == ":help") {
    out.Write(kHelp);
  } else {
    std::fprintf(stderr, "unknown command %s (try :help)\n", command.c_str());
  }
  return true;
}

}  // namespace

std::string HistoryPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/vell/history";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/state/vell/history";
  return {};
}

int RunInteractive(Session& session, Output& out) {
  const std::string historyPath = HistoryPath();
#ifdef VELL_HAVE_READLINE
  if (!historyPath.empty()) read_history(historyPath.c_str());
#endif
  session.ResolvePending();
  std::string line;
  while (ReadLine(line, out)) {
    const std::string_view text = TrimWhiteSpace(line);
    if (text.empty()) continue;
    Remember(line, historyPath);
    if (text[0] == ':') {
      if (!RunCommand(std::string(text), session, out)) return 0;
    } else if (!session.Evaluate(line, out)) {
      out.Flush();
      std::fprintf(stderr, "%s\n", session.Failure().c_str());
    }
  }
  out.Write("\n");
  return 0;
}

}  // namespace vell::cli
