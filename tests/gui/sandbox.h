#pragma once

#include <QString>

// Empties the test's sandbox folder (VELL_TEST_SANDBOX) and checks that HOME
// and the XDG folders lie inside it, so that no test touches a real user's
// files. False, with nothing removed, when they do not.
bool PrepareSandbox();

// The sandbox folder, or empty when there is none.
QString SandboxDir();

// Puts a shell script called xdg-open into the sandbox's bin folder and that
// folder first on PATH, so it stands in for the desktop's opener. It writes
// its arguments, one a line, to <its path>.args and then runs ending (such as
// "exit 3"). Returns the script's path, or empty on failure.
QString InstallFakeOpener(const QByteArray& ending);

// Drops the offscreen platform's notes that it cannot shape or raise
// windows; every other message passes through.
void QuietOffscreenNotes();
