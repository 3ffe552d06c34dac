#include "components/tray_icon.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace vell {

TrayIcon::TrayIcon(std::unique_ptr<TrayIconHost> host, QObject* parent)
    : QObject(parent), host_(host ? std::move(host) : std::make_unique<QtTrayIconHost>()) {
  host_->SetActivationSink([this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
}

TrayIcon::~TrayIcon() {
  Remove();
  host_->SetActivationSink({});
}

bool TrayIcon::Add(const QIcon& icon, const QString& tip) {
  icon_ = icon;
  tip_ = tip.left(kMaxTipLength);
  available_ = host_->TrayAvailable();
  hidden_ = false;
  if (available_) host_->AddIcon(icon_, tip_);
  return available_;
}

void TrayIcon::Hide() {
  if (!available_ || hidden_) return;
  host_->DeleteIcon();
  hidden_ = true;
}

void TrayIcon::Show() {
  if (!available_ || !hidden_) return;
  host_->AddIcon(icon_, tip_);
  hidden_ = false;
}

void TrayIcon::Remove() {
  if (!available_) return;
  host_->DeleteIcon();
  available_ = false;
}

void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  if (!menu_) return;
  if (reason == QSystemTrayIcon::Context) {
    BringMainToFront();
    host_->TrackPopup(*menu_, host_->CursorPos());
  } else if (reason == QSystemTrayIcon::DoubleClick) {
    BringMainToFront();
    // Queued, as a popup's choice is: the action may hide this very icon.
    if (QAction* action = menu_->defaultAction())
      QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
  }
}

void TrayIcon::BringMainToFront() const {
  if (mainWindow_ && mainWindow_->isVisible()) {
    mainWindow_->raise();
    mainWindow_->activateWindow();
  }
}

}  // namespace vell
