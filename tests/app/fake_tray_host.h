#pragma once

#include <QAction>
#include <QIcon>
#include <QMap>
#include <QMenu>

#include "components/tray_host.h"

// What the fake notification area saw, kept apart from the host, which the
// tray icon owns.
struct TrayRecord {
  bool available = true;
  bool iconShown = false;
  int adds = 0;
  int deletes = 0;
  QString choice;                  // the item the next popup picks; none when empty
  QStringList lastItems;           // the last popup's items, "-" for a separator
  QMap<QString, bool> lastChecks;  // check marks of the last popup, by item
  QString defaultText;             // the last popup's default item
  QIcon icon;                      // the icon last added
};

class FakeTrayHost : public vell::TrayIconHost {
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
    emit menu.aboutToShow();
    record_->lastChecks.clear();
    record_->lastItems.clear();
    QAction* chosen = nullptr;
    for (QAction* action : menu.actions()) {
      record_->lastItems << (action->isSeparator() ? QStringLiteral("-") : action->text());
      if (action->isSeparator()) continue;
      record_->lastChecks.insert(action->text(), action->isChecked());
      if (action->text() == record_->choice) chosen = action;
    }
    record_->defaultText = menu.defaultAction() ? menu.defaultAction()->text() : QString();
    if (chosen) chosen->trigger();
    return chosen;
  }
  QPoint CursorPos() override { return QPoint(); }

  // The user does something to the icon.
  void Activate(QSystemTrayIcon::ActivationReason reason) { Activated(reason); }

 private:
  TrayRecord* record_;
};
