#include "platform/open_document.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "platform/desktop_entry.h"
#include "platform/mime_defaults.h"
#include "platform/system_services.h"

namespace vell::platform {

namespace {

OpenResult MissingFile(const QFileInfo& file) {
  return file.absoluteDir().exists() ? OpenResult::kFileNotFound : OpenResult::kPathNotFound;
}

OpenResult HandToDesktop(const QUrl& url) {
  return Services().OpenUrl(url) ? OpenResult::kOpened : OpenResult::kNoAssociation;
}

}  // namespace

OpenResult OpenDocument(const QString& address) {
  if (address.isEmpty()) return OpenResult::kFileNotFound;
  const QUrl url(address);
  // A one-letter scheme is a drive letter, not a scheme.
  const bool hasScheme = url.isValid() && url.scheme().size() > 1;
  if (hasScheme && !url.isLocalFile()) return HandToDesktop(url);
  const QFileInfo file(hasScheme ? url.toLocalFile() : address);
  if (!file.exists()) return MissingFile(file);
  return HandToDesktop(QUrl::fromLocalFile(file.absoluteFilePath()));
}

OpenResult OpenWithHtmlHandler(const QString& address, OpenResult failure) {
  const QString id = Services().DefaultApplication(QStringLiteral("text/html"));
  if (id.isEmpty()) return failure;
  DesktopEntry entry;
  if (!ReadDesktopEntry(FindDesktopEntryFile(id), &entry)) return failure;
  QStringList command = BuildHandlerCommand(entry, address);
  if (command.isEmpty()) return failure;
  const QString program = command.takeFirst();
  return Services().StartDetached(program, command);
}

std::optional<OpenResult> ProgramStartFailure(const QString& program) {
  if (program.isEmpty()) return OpenResult::kFileNotFound;
  if (!program.contains(QLatin1Char('/'))) {
    if (QStandardPaths::findExecutable(program).isEmpty()) return OpenResult::kFileNotFound;
    return std::nullopt;
  }
  const QFileInfo file(program);
  if (!file.exists()) return MissingFile(file);
  if (file.isDir() || !file.isExecutable()) return OpenResult::kAccessDenied;
  return std::nullopt;
}

}  // namespace vell::platform
