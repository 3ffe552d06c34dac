// vell-eval's prompt on a terminal: line editing, history, and a few
// commands (":vars FILE", ":details", ":quit").
#pragma once

#include <string>

#include "output.h"
#include "session.h"

namespace vell::cli {

// Where the prompt keeps its history: $XDG_STATE_HOME/vell/history.
std::string HistoryPath();

// Runs the prompt until ":quit" or end of input; returns the exit status.
// What is written to out appears before each prompt.
int RunInteractive(Session& session, Output& out);

}  // namespace vell::cli
