#include "platform/desktop_entry.h"

#include <QFile>

namespace vell::platform {

QMap<QString, QString> ReadKeyFileGroup(const QString& path, const QString& group) {
  QMap<QString, QString> keys;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return keys;
  const QString header = QLatin1Char('[') + group + QLatin1Char(']');
  bool inGroup = false;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1Char('['))) {
      inGroup = (line == header);
      continue;
    }
    if (!inGroup) continue;
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals <= 0) continue;
    const QString key = line.left(equals).trimmed();
    if (!keys.contains(key)) keys.insert(key, line.mid(equals + 1).trimmed());
  }
  return keys;
}

bool ReadDesktopEntry(const QString& path, DesktopEntry* entry) {
  if (!QFile::exists(path)) return false;
  const QMap<QString, QString> keys = ReadKeyFileGroup(path, QStringLiteral("Desktop Entry"));
  entry->path = path;
  entry->name = UnescapeKeyFileValue(keys.value(QStringLiteral("Name")));
  entry->icon = UnescapeKeyFileValue(keys.value(QStringLiteral("Icon")));
  entry->exec = UnescapeKeyFileValue(keys.value(QStringLiteral("Exec")));
  return true;
}

QString UnescapeKeyFileValue(const QString& value) {
  QString out;
  out.reserve(value.size());
  for (int i = 0; i < value.size(); ++i) {
    const QChar c = value.at(i);
    if (c != QLatin1Char('\\') || i + 1 == value.size()) {
      out += c;
      continue;
    }
    const QChar next = value.at(++i);
    switch (next.unicode()) {
      case 's': out += QLatin1Char(' '); break;
      case 'n': out += QLatin1Char('\n'); break;
      case 't': out += QLatin1Char('\t'); break;
      case 'r': out += QLatin1Char('\r'); break;
      case '\\': out += QLatin1Char('\\'); break;
      default:
        out += QLatin1Char('\\');
        out += next;
        break;
    }
  }
  return out;
}

QString EscapeKeyFileValue(const QString& value) {
  QString out;
  for (int i = 0; i < value.size(); ++i) {
    const QChar c = value.at(i);
    switch (c.unicode()) {
      case '\\': out += QLatin1String("\\\\"); break;
      case '\n': out += QLatin1String("\\n"); break;
      case '\t': out += QLatin1String("\\t"); break;
      case '\r': out += QLatin1String("\\r"); break;
      // Leading blanks would be trimmed away when the file is read.
      case ' ': out += (i == 0) ? QLatin1String("\\s") : QLatin1String(" "); break;
      default: out += c; break;
    }
  }
  return out;
}

bool SplitExecLine(const QString& exec, QStringList* arguments, QList<bool>* quoted) {
  arguments->clear();
  if (quoted) quoted->clear();
  QString current;
  bool inArgument = false;
  bool inQuotes = false;
  bool currentQuoted = false;
  const auto finish = [&] {
    if (inArgument) {
      *arguments << current;
      if (quoted) *quoted << currentQuoted;
    }
    current.clear();
    inArgument = currentQuoted = false;
  };
  for (int i = 0; i < exec.size(); ++i) {
    const QChar c = exec.at(i);
    if (inQuotes) {
      if (c == QLatin1Char('"')) {
        inQuotes = false;
      } else if (c == QLatin1Char('\\') && i + 1 < exec.size() && QStringLiteral("\"`$\\").contains(exec.at(i + 1))) {
        current += exec.at(++i);
      } else {
        current += c;
      }
    } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
      finish();
    } else if (c == QLatin1Char('"')) {
      inQuotes = inArgument = currentQuoted = true;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inQuotes) return false;
  finish();
  return !arguments->isEmpty() && !arguments->first().isEmpty();
}

QString QuoteExecArgument(const QString& argument) {
  QString doubled = argument;
  doubled.replace(QLatin1Char('%'), QLatin1String("%%"));
  static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  bool needsQuotes = argument.isEmpty();
  for (const QChar c : argument) needsQuotes = needsQuotes || reserved.contains(c);
  if (!needsQuotes) return doubled;
  QString out = QStringLiteral("\"");
  for (const QChar c : doubled) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
      out += QLatin1Char('\\');
    out += c;
  }
  return out + QLatin1Char('"');
}

namespace {

bool IsTargetCode(QChar code) { return QStringLiteral("fFuU").contains(code); }

// Where an argument came from in the Exec line.
enum class Place { kProgram, kQuoted, kPlain };

// Appends what one argument expands to (zero, one or two arguments) to out.
// False when it holds a field code where none may stand: in a quoted argument
// the value would reach whatever reads the quotes (often a shell) unquoted,
// a program name takes no value, and a list or %i must be an argument alone.
bool ExpandArgument(const QString& argument, Place place, const DesktopEntry& entry, const QString& address,
                    bool* addressUsed, QStringList* out) {
  if (place == Place::kPlain && argument == QLatin1String("%i")) {
    if (!entry.icon.isEmpty()) *out << QStringLiteral("--icon") << entry.icon;
    return true;
  }
  QString expanded;
  bool hadCode = false;
  for (int i = 0; i < argument.size(); ++i) {
    const QChar c = argument.at(i);
    if (c != QLatin1Char('%') || i + 1 == argument.size()) {
      expanded += c;
      continue;
    }
    const QChar code = argument.at(++i);
    if (code == QLatin1Char('%')) {
      expanded += QLatin1Char('%');
      continue;
    }
    if (place != Place::kPlain) return false;
    if (QStringLiteral("FUi").contains(code) && argument.size() != 2) return false;
    hadCode = true;
    if (IsTargetCode(code)) {
      if (!*addressUsed) expanded += address;  // one address: later codes vanish
      *addressUsed = true;
    } else if (code == QLatin1Char('c')) {
      expanded += entry.name;
    } else if (code == QLatin1Char('k')) {
      expanded += entry.path;
    }  // the deprecated codes and unknown ones vanish
  }
  if (!hadCode || !expanded.isEmpty()) *out << expanded;
  return true;
}

}  // namespace

QStringList BuildHandlerCommand(const DesktopEntry& entry, const QString& address) {
  QStringList arguments;
  QList<bool> quoted;
  if (!SplitExecLine(entry.exec, &arguments, &quoted)) return {};
  QStringList command;
  bool addressUsed = false;
  for (int i = 0; i < arguments.size(); ++i) {
    const Place place = i == 0 ? Place::kProgram : quoted.at(i) ? Place::kQuoted : Place::kPlain;
    if (!ExpandArgument(arguments.at(i), place, entry, address, &addressUsed, &command)) return {};
  }
  if (!addressUsed) command << address;
  return command;
}

}  // namespace vell::platform
