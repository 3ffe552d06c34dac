#pragma once

#include <QString>

namespace vell::platform {

// The XDG autostart entry that starts a program at the user's logon:
// $XDG_CONFIG_HOME/autostart/<name>.desktop.
QString AutostartEntryPath(const QString& name);

// Writes the entry (Type=Application, Name=name, Comment=description,
// Exec=target as one quoted argument), replacing any previous one in a single
// step. False when it cannot be written.
bool CreateAutostartEntry(const QString& name, const QString& target, const QString& description);

// Removes the entry. True when it is gone afterwards (also when there was none).
bool DeleteAutostartEntry(const QString& name);

}  // namespace vell::platform
