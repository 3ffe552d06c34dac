// Writes a run of values into the settings store, as a second running
// instance of the program would. Usage: settings_writer PREFIX COUNT
#include <QCoreApplication>
#include <QStringList>

#include "app/settings_store.h"

using vell::WriteSettingInt;
using vell::WriteSettingString;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 3) return 2;
  const QString& prefix = args.at(1);
  const int count = args.at(2).toInt();
  int failures = 0;
  for (int i = 0; i < count; ++i) {
    if (!WriteSettingString(QStringLiteral("Expressions"), prefix + QString::number(i),
                            QStringLiteral("%1*%2").arg(prefix).arg(i)))
      ++failures;
    if (!WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Shared"), i)) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
