#include "platform/program_info.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace vell::platform {

namespace {

QString ProgramFile() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationFilePath();
  // Before the application object exists Qt cannot tell; the kernel can.
  return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

}  // namespace

QString ProgramFolder() {
  const QString folder = QFileInfo(ProgramFile()).absolutePath();
  return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString ApplicationName() { return QFileInfo(ProgramFile()).completeBaseName(); }

}  // namespace vell::platform
