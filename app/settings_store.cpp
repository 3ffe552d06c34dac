#include "app/settings_store.h"

#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>

#include "platform/program_info.h"

namespace {

// True unless the text holds something QSettings would read past a line
// end (an open quote, a trailing backslash, a header without "]"), bytes it
// would change when writing the file back (invalid UTF-8), or control
// characters. Reading such a file swallows values, and writing it back
// would lose them for good.
bool IsWellFormedIni(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(bytes);
  if (decoder.hasError()) return false;
  for (QString line : text.split(QLatin1Char('\n'))) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    for (const QChar c : line)
      if (c.unicode() < 0x20 && c != QLatin1Char('\t')) return false;
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
      continue;
    if (trimmed.startsWith(QLatin1Char('['))) {
      if (!trimmed.endsWith(QLatin1Char(']'))) return false;
      continue;
    }
    bool quoted = false;
    for (int i = 0; i < trimmed.size(); ++i) {
      if (trimmed.at(i) == QLatin1Char('\\')) {
        if (++i == trimmed.size()) return false;  // continues on the next line
      } else if (trimmed.at(i) == QLatin1Char('"')) {
        quoted = !quoted;
      }
    }
    if (quoted) return false;
  }
  return true;
}

class Store {
 public:
  Store()
      : settings_(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kSettingsCompany),
                  vell::platform::ApplicationName()) {}

  // Whether the store can be used without losing what is in it.
  bool Usable() const {
    if (settings_.status() != QSettings::NoError) return false;
#ifdef Q_OS_WIN
    return true;
#else
    QFile file(settings_.fileName());
    if (!file.exists()) return true;
    return file.open(QIODevice::ReadOnly) && IsWellFormedIni(file.readAll());
#endif
  }

  // Enters the section and returns the stored spelling of name, or name
  // itself when no spelling of it is stored yet.
  QString Locate(const QString& section, const QString& name) {
    settings_.beginGroup(Match(settings_.childGroups(), section));
    return Match(settings_.childKeys(), name);
  }

  QVariant Value(const QString& key) const { return settings_.value(key); }
  bool Contains(const QString& key) const { return settings_.contains(key); }

  bool Write(const QString& key, const QVariant& value) {
    settings_.setValue(key, value);
    settings_.sync();
    return settings_.status() == QSettings::NoError;
  }

  QString Location() const { return settings_.fileName(); }

 private:
  static QString Match(const QStringList& stored, const QString& name) {
    for (const QString& candidate : stored)
      if (candidate.compare(name, Qt::CaseInsensitive) == 0) return candidate;
    return name;
  }

  QSettings settings_;
};

}  // namespace

int ReadSettingInt(const QString& section, const QString& name, int defaultValue) {
  Store store;
  if (!store.Usable()) return defaultValue;
  const QString key = store.Locate(section, name);
  if (!store.Contains(key)) return defaultValue;
  bool ok = false;
  const int value = store.Value(key).toString().trimmed().toInt(&ok, 10);
  return ok ? value : defaultValue;
}

bool WriteSettingInt(const QString& section, const QString& name, int value) {
  Store store;
  if (!store.Usable()) return false;
  return store.Write(store.Locate(section, name), value);
}

QString ReadSettingString(const QString& section, const QString& name, const QString& defaultValue) {
  Store store;
  if (!store.Usable()) return defaultValue;
  const QString key = store.Locate(section, name);
  if (!store.Contains(key)) return defaultValue;
  const QVariant value = store.Value(key);
  // Unquoted commas written by another program make QSettings split the text.
  if (value.userType() == QMetaType::QStringList) return value.toStringList().join(QLatin1String(", "));
  if (!value.canConvert<QString>()) return defaultValue;
  return value.toString();
}

bool WriteSettingString(const QString& section, const QString& name, const QString& value) {
  Store store;
  if (!store.Usable()) return false;
  return store.Write(store.Locate(section, name), value);
}

QString SettingsLocation() { return Store().Location(); }
