#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <optional>

namespace vell {

// The text forms QSettings gives names and values in its INI files, so that
// a file written here reads the same through QSettings and the other way
// round.

// A section or value name: "/" as "\", every character but ASCII letters,
// digits, "_", "-" and "." as %XX or %UXXXX.
QByteArray EscapedIniName(const QString& name);
QString UnescapedIniName(QByteArrayView bytes);

// An integer or string value as QSettings writes it.
QByteArray EscapedIniValue(const QVariant& value);

// The text QSettings reads from a value's bytes (what follows "=", up to a
// comment): a list's items joined by ", ". None when it reads no text there
// (@Invalid(), a rectangle and the like).
std::optional<QString> IniValueText(QByteArrayView bytes);

}  // namespace vell
