#pragma once

#include <QString>

namespace vell::platform {

// Launch codes: a value above 32 means success; the others name the reason
// of a failure, and the hyperlink label has a message for each.
constexpr int kLaunchOutOfResources = 0;
constexpr int kLaunchFileNotFound = 2;
constexpr int kLaunchPathNotFound = 3;
constexpr int kLaunchAccessDenied = 5;
constexpr int kLaunchBadFormat = 11;
constexpr int kLaunchNoAssociation = 31;
constexpr int kLaunchSucceeded = 33;

// Opens a document or an address with the desktop's handler for it. An
// address with a scheme ("https:", "mailto:", "file:") goes to the desktop as
// it is; anything else is a path, which must exist. Returns a launch code.
int OpenDocument(const QString& address);

// Starts the desktop's default text/html application on address. Returns
// failureCode when no usable handler is found, otherwise the launch code of
// starting it.
int OpenWithHtmlHandler(const QString& address, int failureCode);

// Whether program can be started: 0, or the launch code of the reason
// (not found, folder not found, not executable).
int ProgramStartCode(const QString& program);

}  // namespace vell::platform
