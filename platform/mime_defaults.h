#pragma once

#include <QString>

namespace vell::platform {

// Desktop file id of the default application for a MIME type, found the way
// the freedesktop.org MIME applications rules describe: the
// [Default Applications] of every mimeapps.list (desktop-specific lists
// first), then defaults.list, then [Added Associations], then any
// application that claims the type in mimeinfo.cache. Only ids whose desktop
// file exists count. Empty when there is none.
QString FindDefaultDesktopId(const QString& mimeType);

// Path of the desktop file with this id in the applications folders of the
// data directories ("a-b.desktop" may also live at "a/b.desktop"), or empty.
QString FindDesktopEntryFile(const QString& desktopId);

}  // namespace vell::platform
