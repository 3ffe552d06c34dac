#pragma once

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>
#include <memory>

#include "components/tray_host.h"

namespace vell {

// The program's icon in the desktop's notification area. A right click
// shows the menu its owner built; a double click triggers that menu's
// default action. The owner decides what every action does; the icon never
// carries out anything itself.
//
// Make it after the QApplication and destroy it before.
class TrayIcon : public QObject {
  Q_OBJECT

 public:
  // Longest tip the notification area takes; longer ones are cut.
  static constexpr int kMaxTipLength = 63;

  // Without a host the icon goes to the desktop through QSystemTrayIcon.
  explicit TrayIcon(std::unique_ptr<TrayIconHost> host = nullptr, QObject* parent = nullptr);
  ~TrayIcon() override;

  // Puts the icon in the tray; false (and nothing shown) when there is none.
  bool Add(const QIcon& icon, const QString& tip);
  void Hide();
  void Show();
  void Remove();

  // The popup, owned by the caller: its default action is what a double
  // click triggers. Connect to its aboutToShow to update check marks.
  void SetMenu(QMenu* menu) { menu_ = menu; }
  // Brought to the front before the popup shows or a double click acts.
  void SetMainWindow(QWidget* window) { mainWindow_ = window; }

  bool available() const { return available_; }
  bool hidden() const { return hidden_; }

 private:
  void OnActivated(QSystemTrayIcon::ActivationReason reason);
  void BringMainToFront() const;

  std::unique_ptr<TrayIconHost> host_;
  QPointer<QMenu> menu_;
  QPointer<QWidget> mainWindow_;
  QIcon icon_;
  QString tip_;
  bool available_ = false;
  bool hidden_ = false;
};

}  // namespace vell
