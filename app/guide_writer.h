#pragma once

#include <QString>

namespace vell {

// Where a raw resource of the program lives: type "TEXT" and id 133 is
// ":/TEXT/133".
QString ResourcePath(const QString& type, int id);

// Copies a raw resource of the program into a file, replacing what was
// there in one step. A missing resource shows "Error in Vell.Exe"; a file
// that cannot be written shows nothing and leaves the reason in *error.
bool WriteResourceToFile(const QString& type, int id, const QString& path, QString* error = nullptr);

// The user guide's resource and the places it is written to, in order: next
// to the program, else $XDG_DATA_HOME/vell/.
inline constexpr char kGuideType[] = "TEXT";
inline constexpr int kGuideId = 133;
QString GuidePathBesideProgram();
QString GuideFallbackPath();

}  // namespace vell
