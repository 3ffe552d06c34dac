#pragma once

#include <QString>

namespace vell::platform {

// Folder of the running program file, with a trailing '/'.
QString ProgramFolder();

// The program file's name without folder and extension ("vell"): it names
// the settings file and captions every message box.
QString ApplicationName();

}  // namespace vell::platform
