#include "platform/autostart.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "platform/desktop_entry.h"
#include "platform/xdg_dirs.h"

namespace vell::platform {

QString AutostartEntryPath(const QString& name) {
  return XdgConfigHome() + QStringLiteral("/autostart/") + name + QStringLiteral(".desktop");
}

bool CreateAutostartEntry(const QString& name, const QString& target, const QString& description) {
  if (!QDir().mkpath(XdgConfigHome() + QStringLiteral("/autostart"))) return false;
  const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=") + EscapeKeyFileValue(name) +
                       QStringLiteral("\nComment=") + EscapeKeyFileValue(description) + QStringLiteral("\nExec=") +
                       EscapeKeyFileValue(QuoteExecArgument(target)) + QLatin1Char('\n');
  QSaveFile file(AutostartEntryPath(name));
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = text.toUtf8();
  if (file.write(bytes) != bytes.size()) return false;
  return file.commit();
}

bool DeleteAutostartEntry(const QString& name) {
  const QString path = AutostartEntryPath(name);
  return QFile::remove(path) || !QFile::exists(path);
}

}  // namespace vell::platform
