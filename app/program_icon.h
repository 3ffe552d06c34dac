#pragma once

#include <QIcon>

namespace vell {

// Icon 129, the window's and the tray's: every size built into the program.
QIcon ResourceIcon();

// The icon the desktop knows as "vell" when an installed theme has it, so the
// launcher, the window and the tray show one image; else ResourceIcon().
QIcon ProgramIcon();

inline constexpr char kIconThemeName[] = "vell";

}  // namespace vell
