#include "app/guide_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "app/app_texts.h"
#include "platform/message_box.h"
#include "platform/program_info.h"
#include "platform/xdg_dirs.h"

namespace vell {

QString ResourcePath(const QString& type, int id) { return QStringLiteral(":/%1/%2").arg(type).arg(id); }

bool WriteResourceToFile(const QString& type, int id, const QString& path, QString* error) {
  QFile resource(ResourcePath(type, id));
  if (!resource.open(QIODevice::ReadOnly)) {
    platform::ShowAppMessage(texts::Text(texts::kResourceMissing));
    if (error) *error = resource.errorString();
    return false;
  }
  const QByteArray bytes = resource.readAll();
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
  if (error) *error = file.errorString();
  return false;
}

QString GuidePathBesideProgram() { return platform::ProgramFolder() + QStringLiteral("vell.txt"); }

QString GuideFallbackPath() { return platform::XdgDataHome() + QStringLiteral("/vell/vell.txt"); }

}  // namespace vell
