#include "components/tray_host.h"

#include <QCursor>
#include <QMenu>

#ifdef VELL_HAVE_QTDBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#endif

namespace vell {

TrayIconHost::~TrayIconHost() = default;

QtTrayIconHost::QtTrayIconHost() = default;

QtTrayIconHost::~QtTrayIconHost() = default;

bool QtTrayIconHost::TrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTrayIconHost::AddIcon(const QIcon& icon, const QString& tip) {
  if (!icon_) {
    // Made on first use: the global tray object exists before the application.
    icon_ = std::make_unique<QSystemTrayIcon>();
    const bool statusNotifier = StatusNotifierTrayInUse();
    // Queued: the icon reports an activation from inside its own mouse
    // handling, and the popup or a command that hides the icon must not run
    // there (hiding deletes the window that is handling the click).
    QObject::connect(
        icon_.get(), &QSystemTrayIcon::activated, icon_.get(),
        [this, statusNotifier](QSystemTrayIcon::ActivationReason reason) {
          Activated(EffectiveReason(reason, statusNotifier));
        },
        Qt::QueuedConnection);
  }
  icon_->setIcon(icon);
  icon_->setToolTip(tip);
  icon_->show();
}

void QtTrayIconHost::DeleteIcon() {
  if (icon_) icon_->hide();
}

QAction* QtTrayIconHost::TrackPopup(QMenu& menu, const QPoint& screenPos) { return menu.exec(screenPos); }

QPoint QtTrayIconHost::CursorPos() { return QCursor::pos(); }

QSystemTrayIcon::ActivationReason EffectiveReason(QSystemTrayIcon::ActivationReason reason, bool statusNotifierTray) {
  return reason == QSystemTrayIcon::Trigger && statusNotifierTray ? QSystemTrayIcon::DoubleClick : reason;
}

bool StatusNotifierTrayInUse() {
#ifdef VELL_HAVE_QTDBUS
  // The same test Qt makes when it chooses between a StatusNotifier item and
  // an XEmbed icon.
  static const bool inUse = [] {
    const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(service)) return false;
    QDBusInterface watcher(service, QStringLiteral("/StatusNotifierWatcher"), service, bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool();
  }();
  return inUse;
#else
  return false;
#endif
}

}  // namespace vell
