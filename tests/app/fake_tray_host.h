#pragma once

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMap>

#include "components/tray_host.h"
#include "components/tray_menu.h"

// What the fake notification area saw, kept apart from the host, which the
// tray icon owns.
struct TrayRecord {
  bool available = true;
  bool iconShown = false;
  int adds = 0;
  int deletes = 0;
  quint32 choice = 0;                // command the next popup returns; 0 for none
  QMap<quint32, bool> lastChecks;    // check marks of the last popup, by command
  QString defaultText;               // the last popup's default item
  QIcon icon;                        // the icon last added
};

class FakeTrayHost : public TrayIconHost {
 public:
  explicit FakeTrayHost(TrayRecord* record) : record_(record) {}

  bool TrayAvailable() override { return record_->available; }
  void AddIcon(const QIcon& icon, const QString&) override {
    record_->icon = icon;
    record_->iconShown = true;
    ++record_->adds;
  }
  void DeleteIcon() override {
    record_->iconShown = false;
    ++record_->deletes;
  }
  QAction* TrackPopup(QMenu& menu, const QPoint&) override {
    record_->lastChecks.clear();
    QAction* chosen = nullptr;
    for (QAction* action : menu.actions()) {
      if (action->isSeparator()) continue;
      record_->lastChecks.insert(CommandOf(action), action->isChecked());
      if (CommandOf(action) == record_->choice) chosen = action;
    }
    record_->defaultText = menu.defaultAction() ? menu.defaultAction()->text() : QString();
    return chosen;
  }
  QPoint CursorPos() override { return QPoint(); }

  // The user does something to the icon.
  void Event(quint32 code) { Notify(code); }

 private:
  TrayRecord* record_;
};
