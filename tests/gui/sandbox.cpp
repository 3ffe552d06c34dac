#include "sandbox.h"

#include <QDir>

QString SandboxDir() {
  const QString dir = qEnvironmentVariable("VELL_TEST_SANDBOX");
  return dir.isEmpty() ? QString() : QDir::cleanPath(dir);
}

bool PrepareSandbox() {
  const QString sandbox = SandboxDir();
  if (sandbox.isEmpty() || !QDir::isAbsolutePath(sandbox)) return false;
  for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"}) {
    const QString value = QDir::cleanPath(qEnvironmentVariable(variable));
    if (!value.startsWith(sandbox + QLatin1Char('/'))) return false;
  }
  QDir dir(sandbox);
  for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden)) {
    QFileInfo info(dir.filePath(entry));
    if (info.isDir() && !info.isSymLink()) {
      QDir(info.filePath()).removeRecursively();
    } else {
      QFile::remove(info.filePath());
    }
  }
  return QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
}

QString InstallFakeOpener(const QByteArray& ending) {
  const QString bin = SandboxDir() + QStringLiteral("/bin");
  if (SandboxDir().isEmpty() || !QDir().mkpath(bin)) return {};
  QFile file(bin + QStringLiteral("/xdg-open"));
  const QByteArray script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n" + ending + "\n";
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(script) != script.size()) return {};
  file.close();
  if (!file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) return {};
  const QString path = qEnvironmentVariable("PATH");
  if (!path.startsWith(bin + QLatin1Char(':'))) qputenv("PATH", QFile::encodeName(bin + QLatin1Char(':') + path));
  return file.fileName();
}

namespace {

QtMessageHandler previousHandler = nullptr;

void FilterNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && (message == QLatin1String("This plugin does not support setting window masks") ||
                               message == QLatin1String("This plugin does not support raise()")))
    return;
  if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

void QuietOffscreenNotes() { previousHandler = qInstallMessageHandler(FilterNotes); }
