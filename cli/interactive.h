// vell-eval's prompt on a terminal: line editing, history, and a few
// commands (":vars FILE", ":details", ":quit").
#pragma once

#include <string>

#include "session.h"

namespace vell::cli {

// Where the prompt keeps its history: $XDG_STATE_HOME/vell/history.
std::string HistoryPath();

// Runs the prompt until ":quit" or end of input; returns the exit status.
int RunInteractive(Session& session);

}  // namespace vell::cli
