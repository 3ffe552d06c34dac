#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace vell::platform {

// The parts of a desktop entry file (freedesktop.org Desktop Entry format)
// that launching a handler needs.
struct DesktopEntry {
  QString path;  // the file it was read from
  QString name;
  QString icon;
  QString exec;  // unescaped string value, still in Exec quoting
};

// Keys of one group of a key file ("key=value" lines under "[group]").
// Values are returned raw; an unreadable file gives an empty map.
QMap<QString, QString> ReadKeyFileGroup(const QString& path, const QString& group);

// Reads the [Desktop Entry] group. False when the file cannot be read.
bool ReadDesktopEntry(const QString& path, DesktopEntry* entry);

// String values of key files escape \s \n \t \r and the backslash.
QString UnescapeKeyFileValue(const QString& value);
QString EscapeKeyFileValue(const QString& value);

// Splits an Exec value into arguments by its quoting rules. False on an
// unterminated quote or an empty command. quoted, when given, says for each
// argument whether any part of it stood in double quotes.
bool SplitExecLine(const QString& exec, QStringList* arguments, QList<bool>* quoted = nullptr);

// Quotes one argument for an Exec value (the inverse of SplitExecLine,
// including the doubling of '%').
QString QuoteExecArgument(const QString& argument);

// The command that opens address with this entry: the field code %f, %F, %u
// or %U is replaced by the address as one argument; without one the address
// is appended as the last argument. %i, %c and %k expand as the format says,
// %% gives %, other codes vanish. Empty when the Exec line is unusable,
// which includes a field code in a quoted argument or in the program name,
// and %F, %U or %i that is not an argument of its own.
QStringList BuildHandlerCommand(const DesktopEntry& entry, const QString& address);

}  // namespace vell::platform
