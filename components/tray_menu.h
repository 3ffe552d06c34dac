#pragma once

#include <QtGlobal>
#include <memory>

class QAction;
class QMenu;

// Command ids of the tray popup; the main window carries them out.
constexpr quint32 kCommandShow = 32771;
constexpr quint32 kCommandRunAtStart = 32772;
constexpr quint32 kCommandMinimizeAtStart = 32773;
constexpr quint32 kCommandAbout = 57664;

// The tray icon's id, which is also the id of its popup menu.
constexpr quint32 kTrayMenuId = 128;

// Builds the popup menu with this id afresh, or returns null when there is
// no menu with that id. Each action carries its command id as data;
// separators carry 0.
std::unique_ptr<QMenu> LoadPopupMenu(quint32 menuId);

// Command id of an action of a loaded popup (0 for a separator or none).
quint32 CommandOf(const QAction* action);

// The action at a position (separators count), or with a command id.
QAction* ItemAt(const QMenu& menu, quint32 item, bool byPosition);

// Makes the item the menu's default (drawn bold). False when there is no
// such item or it is a separator.
bool SetMenuDefaultItem(QMenu& menu, quint32 item, bool byPosition);
