#pragma once

#include <QString>
#include <QStringList>

namespace vell::platform {

// The XDG base directories, read from the environment on every call so that
// a changed environment takes effect at once. Relative values are ignored,
// as the base directory rules require.
QString XdgConfigHome();      // $XDG_CONFIG_HOME or ~/.config
QStringList XdgConfigDirs();  // XdgConfigHome() first, then $XDG_CONFIG_DIRS or /etc/xdg
QString XdgDataHome();        // $XDG_DATA_HOME or ~/.local/share
QStringList XdgDataDirs();    // XdgDataHome() first, then $XDG_DATA_DIRS or /usr/local/share:/usr/share

}  // namespace vell::platform
