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

int MissingFileCode(const QFileInfo& file) {
  return file.absoluteDir().exists() ? kLaunchFileNotFound : kLaunchPathNotFound;
}

}  // namespace

int OpenDocument(const QString& address) {
  if (address.isEmpty()) return kLaunchFileNotFound;
  const QUrl url(address);
  // A one-letter scheme is a drive letter, not a scheme.
  const bool hasScheme = url.isValid() && url.scheme().size() > 1;
  if (hasScheme && !url.isLocalFile())
    return Services().OpenUrl(url) ? kLaunchSucceeded : kLaunchNoAssociation;
  const QFileInfo file(hasScheme ? url.toLocalFile() : address);
  if (!file.exists()) return MissingFileCode(file);
  return Services().OpenUrl(QUrl::fromLocalFile(file.absoluteFilePath())) ? kLaunchSucceeded
                                                                           : kLaunchNoAssociation;
}

int OpenWithHtmlHandler(const QString& address, int failureCode) {
  const QString id = Services().DefaultApplication(QStringLiteral("text/html"));
  if (id.isEmpty()) return failureCode;
  DesktopEntry entry;
  if (!ReadDesktopEntry(FindDesktopEntryFile(id), &entry)) return failureCode;
  QStringList command = BuildHandlerCommand(entry, address);
  if (command.isEmpty()) return failureCode;
  const QString program = command.takeFirst();
  return Services().StartDetached(program, command);
}

int ProgramStartCode(const QString& program) {
  if (program.isEmpty()) return kLaunchFileNotFound;
  if (!program.contains(QLatin1Char('/'))) {
    return QStandardPaths::findExecutable(program).isEmpty() ? kLaunchFileNotFound : 0;
  }
  const QFileInfo file(program);
  if (!file.exists()) return MissingFileCode(file);
  if (file.isDir() || !file.isExecutable()) return kLaunchAccessDenied;
  return 0;
}

}  // namespace vell::platform
