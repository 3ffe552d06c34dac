#pragma once

#include <QIcon>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace vell {

// What puts an icon into the desktop's notification area and reports what
// happens to it. TrayIcon drives it; tests give it a recorder instead.
class TrayIconHost {
 public:
  using ActivationSink = std::function<void(QSystemTrayIcon::ActivationReason)>;

  virtual ~TrayIconHost();

  virtual bool TrayAvailable() = 0;
  virtual void AddIcon(const QIcon& icon, const QString& tip) = 0;
  virtual void DeleteIcon() = 0;
  // Runs the popup modally at a screen position; the chosen action, already
  // triggered, or null.
  virtual QAction* TrackPopup(QMenu& menu, const QPoint& screenPos) = 0;
  virtual QPoint CursorPos() = 0;

  // Where the host reports activations. A host reports them from the event
  // loop, never from inside the icon's own event handling.
  void SetActivationSink(ActivationSink sink) { sink_ = std::move(sink); }

 protected:
  void Activated(QSystemTrayIcon::ActivationReason reason) const {
    if (sink_) sink_(reason);
  }

 private:
  ActivationSink sink_;
};

// The real host on QSystemTrayIcon.
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

// What an activation means to the icon. The D-Bus StatusNotifier trays never
// report a double click, only a plain activation, so there a plain
// activation is the double click.
QSystemTrayIcon::ActivationReason EffectiveReason(QSystemTrayIcon::ActivationReason reason, bool statusNotifierTray);

// Whether Qt puts its tray icons on a D-Bus StatusNotifier host.
bool StatusNotifierTrayInUse();

}  // namespace vell
