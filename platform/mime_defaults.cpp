#include "platform/mime_defaults.h"

#include <QFileInfo>
#include <QStringList>

#include "platform/desktop_entry.h"
#include "platform/xdg_dirs.h"

namespace vell::platform {

namespace {

// The mimeapps.list files in the order of precedence.
QStringList MimeAppsLists() {
  QStringList desktops;
  for (const QString& d : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
    desktops << d.toLower();
  QStringList folders = XdgConfigDirs();
  for (const QString& dir : XdgDataDirs()) folders << dir + QStringLiteral("/applications");
  QStringList lists;
  for (const QString& folder : folders) {
    for (const QString& desktop : desktops)
      lists << folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
    lists << folder + QStringLiteral("/mimeapps.list");
  }
  return lists;
}

QStringList ApplicationFolders() {
  QStringList folders;
  for (const QString& dir : XdgDataDirs()) folders << dir + QStringLiteral("/applications");
  return folders;
}

// First installed id among the ';'-separated values of mimeType in group.
QString FirstInstalled(const QStringList& files, const QString& group, const QString& mimeType) {
  for (const QString& file : files) {
    const QString value = ReadKeyFileGroup(file, group).value(mimeType);
    for (const QString& id : value.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      QString trimmed = id.trimmed();
      if (!trimmed.isEmpty() && !FindDesktopEntryFile(trimmed).isEmpty()) return trimmed;
    }
  }
  return {};
}

}  // namespace

QString FindDefaultDesktopId(const QString& mimeType) {
  const QStringList lists = MimeAppsLists();
  QString id = FirstInstalled(lists, QStringLiteral("Default Applications"), mimeType);
  if (!id.isEmpty()) return id;
  QStringList defaults;
  for (const QString& folder : ApplicationFolders()) defaults << folder + QStringLiteral("/defaults.list");
  id = FirstInstalled(defaults, QStringLiteral("Default Applications"), mimeType);
  if (!id.isEmpty()) return id;
  id = FirstInstalled(lists, QStringLiteral("Added Associations"), mimeType);
  if (!id.isEmpty()) return id;
  QStringList caches;
  for (const QString& folder : ApplicationFolders()) caches << folder + QStringLiteral("/mimeinfo.cache");
  return FirstInstalled(caches, QStringLiteral("MIME Cache"), mimeType);
}

QString FindDesktopEntryFile(const QString& desktopId) {
  if (!desktopId.endsWith(QLatin1String(".desktop")) || desktopId.contains(QLatin1Char('/')) ||
      desktopId.startsWith(QLatin1Char('.')))
    return {};
  for (const QString& folder : ApplicationFolders()) {
    QString direct = folder + QLatin1Char('/') + desktopId;
    if (QFileInfo(direct).isFile()) return direct;
    // Each '-' may stand for a subfolder: try every split, leftmost first.
    QString candidate = desktopId;
    for (int dash = candidate.indexOf(QLatin1Char('-')); dash > 0;
         dash = candidate.indexOf(QLatin1Char('-'), dash + 1)) {
      candidate[dash] = QLatin1Char('/');
      QString nested = folder + QLatin1Char('/') + candidate;
      if (QFileInfo(nested).isFile()) return nested;
    }
  }
  return {};
}

}  // namespace vell::platform
