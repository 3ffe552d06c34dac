#pragma once

#include <QString>

// Empties the test's sandbox folder (VELL_TEST_SANDBOX) and checks that HOME
// and the XDG folders lie inside it, so that no test touches a real user's
// files. False, with nothing removed, when they do not.
bool PrepareSandbox();

// The sandbox folder, or empty when there is none.
QString SandboxDir();

// Drops the offscreen platform's notes that it cannot shape or raise
// windows; every other message passes through.
void QuietOffscreenNotes();
