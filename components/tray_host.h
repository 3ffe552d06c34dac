#pragma once

#include <QIcon>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class QAction;
class QMenu;

// Notification codes of the tray icon: the mouse message that happened over it.
constexpr quint32 kTrayMouseMove = 0x200;
constexpr quint32 kTrayLeftButtonDown = 0x201;
constexpr quint32 kTrayLeftButtonUp = 0x202;
constexpr quint32 kTrayLeftDoubleClick = 0x203;
constexpr quint32 kTrayRightButtonDown = 0x204;
constexpr quint32 kTrayRightButtonUp = 0x205;
constexpr quint32 kTrayMiddleButtonUp = 0x208;

// What puts an icon into the desktop's notification area and reports what
// happens to it. CSystemTray drives it; tests give it a recorder instead.
class TrayIconHost {
 public:
  using EventSink = std::function<void(quint32 eventCode)>;

  virtual ~TrayIconHost();

  virtual bool TrayAvailable() = 0;
  virtual void AddIcon(const QIcon& icon, const QString& tip) = 0;
  virtual void DeleteIcon() = 0;
  // Runs the popup modally at a screen position; the chosen action or null.
  virtual QAction* TrackPopup(QMenu& menu, const QPoint& screenPos) = 0;
  virtual QPoint CursorPos() = 0;

  // Where the host reports notifications and a restarted tray.
  void Connect(EventSink events, std::function<void()> restarted);

 protected:
  void Notify(quint32 eventCode) const;
  void NotifyRestart() const;

 private:
  EventSink events_;
  std::function<void()> restarted_;
};

// The real host on QSystemTrayIcon. Qt itself puts a shown icon back when the
// tray restarts, so this host never reports a restart.
class QtTrayIconHost : public TrayIconHost {
 public:
  QtTrayIconHost();
  ~QtTrayIconHost() override;

  bool TrayAvailable() override;
  void AddIcon(const QIcon& icon, const QString& tip) override;
  void DeleteIcon() override;
  QAction* TrackPopup(QMenu& menu, const QPoint& screenPos) override;
  QPoint CursorPos() override;

 private:
  std::unique_ptr<QSystemTrayIcon> icon_;
};

// The notification an activation stands for. The D-Bus StatusNotifier trays
// never report a double click, only an activation, so there the activation
// plays the double click.
quint32 ActivationEvent(QSystemTrayIcon::ActivationReason reason, bool statusNotifierTray);

// Whether Qt puts its tray icons on a D-Bus StatusNotifier host.
bool StatusNotifierTrayInUse();
