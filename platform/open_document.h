#pragma once

#include <QString>
#include <optional>

namespace vell::platform {

// How an attempt to open an address or start a handler ended: opened, or
// why not. The hyperlink label words a message for each failure.
enum class OpenResult {
  kOpened,
  kFileNotFound,
  kPathNotFound,
  kAccessDenied,
  kBadFormat,
  kNoAssociation,
};

// Opens a document or an address with the desktop's handler for it. An
// address with a scheme ("https:", "mailto:", "file:") goes to the desktop as
// it is; anything else is a path, which must exist.
OpenResult OpenDocument(const QString& address);

// Starts the desktop's default text/html application on address. Returns
// failure when no usable handler is found, otherwise how starting it went.
OpenResult OpenWithHtmlHandler(const QString& address, OpenResult failure);

// Why program cannot be started (not found, folder not found, not
// executable), or nothing when it can.
std::optional<OpenResult> ProgramStartFailure(const QString& program);

}  // namespace vell::platform
