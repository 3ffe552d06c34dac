#include "components/tray_menu.h"

#include <QAction>
#include <QMenu>

namespace {

struct MenuItem {
  quint32 command;  // 0 for a separator
  const char* text;
};

constexpr MenuItem kTrayPopup[] = {
    {kCommandShow, "&Show"},
    {0, nullptr},
    {kCommandMinimizeAtStart, "Minimize to &Tray at start"},
    {kCommandRunAtStart, "&Run on Windows-start"},
    {0, nullptr},
    {kCommandAbout, "&About..."},
};

}  // namespace

std::unique_ptr<QMenu> LoadPopupMenu(quint32 menuId) {
  if (menuId != kTrayMenuId) return nullptr;
  auto menu = std::make_unique<QMenu>(QStringLiteral("POPUP"));
  for (const MenuItem& item : kTrayPopup) {
    QAction* action = item.command ? menu->addAction(QString::fromLatin1(item.text)) : menu->addSeparator();
    action->setData(item.command);
  }
  return menu;
}

quint32 CommandOf(const QAction* action) { return action ? action->data().toUInt() : 0; }

QAction* ItemAt(const QMenu& menu, quint32 item, bool byPosition) {
  const QList<QAction*> actions = menu.actions();
  if (byPosition) return item < quint32(actions.size()) ? actions.at(int(item)) : nullptr;
  for (QAction* action : actions)
    if (!action->isSeparator() && CommandOf(action) == item) return action;
  return nullptr;
}

bool SetMenuDefaultItem(QMenu& menu, quint32 item, bool byPosition) {
  QAction* action = ItemAt(menu, item, byPosition);
  if (!action || action->isSeparator()) return false;
  menu.setDefaultAction(action);
  return true;
}
