#include "app/program_icon.h"

#include "app/guide_writer.h"

namespace vell {

QIcon ResourceIcon() {
  const QString base = ResourcePath(QStringLiteral("ICON"), 129);
  QIcon icon(base);
  for (const int size : {16, 32, 48, 128, 256}) icon.addFile(base + QLatin1Char('-') + QString::number(size));
  return icon;
}

QIcon ProgramIcon() { return QIcon::fromTheme(QString::fromLatin1(kIconThemeName), ResourceIcon()); }

}  // namespace vell
