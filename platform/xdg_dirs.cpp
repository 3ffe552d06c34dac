#include "platform/xdg_dirs.h"

#include <QDir>

namespace vell::platform {

namespace {

QString HomeBased(const char* variable, const QString& fallback) {
  const QString value = qEnvironmentVariable(variable);
  if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
  return QDir::homePath() + QLatin1Char('/') + fallback;
}

QStringList SearchPath(const QString& home, const char* variable, const QString& fallback) {
  QStringList dirs{home};
  QString value = qEnvironmentVariable(variable);
  if (value.isEmpty()) value = fallback;
  for (const QString& dir : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
    if (!QDir::isAbsolutePath(dir)) continue;
    const QString clean = QDir::cleanPath(dir);
    if (!dirs.contains(clean)) dirs << clean;
  }
  return dirs;
}

}  // namespace

QString XdgConfigHome() { return HomeBased("XDG_CONFIG_HOME", QStringLiteral(".config")); }

QStringList XdgConfigDirs() { return SearchPath(XdgConfigHome(), "XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")); }

QString XdgDataHome() { return HomeBased("XDG_DATA_HOME", QStringLiteral(".local/share")); }

QStringList XdgDataDirs() {
  return SearchPath(XdgDataHome(), "XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
}

}  // namespace vell::platform
