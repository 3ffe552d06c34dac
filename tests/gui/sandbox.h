#pragma once

#include <QString>

// Empties the test's sandbox folder (VELL_TEST_SANDBOX) and checks that HOME
// and the XDG folders lie inside it, so that no test touches a real user's
// files. False, with nothing removed, when they do not.
bool PrepareSandbox();

// The sandbox folder, or empty when there is none.
QString SandboxDir();

// Puts an executable shell script called name into the sandbox's bin folder
// and that folder first on PATH, so the script stands in for a program of
// the desktop. Returns the script's path, or empty on failure.
QString InstallFakeProgram(const QString& name, const QByteArray& body);

// Drops the offscreen platform's notes that it cannot shape or raise
// windows; every other message passes through.
void QuietOffscreenNotes();
