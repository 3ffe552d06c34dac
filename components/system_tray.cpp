#include "components/system_tray.h"

#include <QAction>
#include <QMenu>

CSystemTray::CSystemTray(std::unique_ptr<TrayIconHost> host)
    : host_(host ? std::move(host) : std::make_unique<QtTrayIconHost>()) {
  host_->Connect([this](quint32 eventCode) { OnIconEvent(iconData_.id, eventCode); },
                 [this] { OnTaskbarRestart(); });
}

CSystemTray::~CSystemTray() {
  RemoveTrayIcon();
  host_->Connect({}, {});
}

bool CSystemTray::AddTrayIcon(QWidget* owner, quint32 callbackMessage, const QString& tipText,
                              const QIcon& icon, quint32 iconId) {
  iconData_.owner = owner;
  iconData_.id = iconId;
  iconData_.callbackMessage = callbackMessage;
  iconData_.icon = icon;
  iconData_.tip = tipText.left(kMaxTipLength);
  available_ = host_->TrayAvailable();
  if (available_) host_->AddIcon(iconData_.icon, iconData_.tip);
  return available_;
}

void CSystemTray::HideTrayIcon() {
  if (!available_ || hidden_) return;
  host_->DeleteIcon();
  hidden_ = true;
}

void CSystemTray::ShowTrayIcon() {
  if (!available_ || !hidden_) return;
  host_->AddIcon(iconData_.icon, iconData_.tip);
  hidden_ = false;
}

void CSystemTray::RemoveTrayIcon() {
  if (!available_) return;
  host_->DeleteIcon();
  available_ = false;
}

bool CSystemTray::SetDefaultItem(quint32 item, bool byPosition) {
  if (item == defaultItem_ && byPosition == defaultByPosition_) return true;
  defaultItem_ = item;
  defaultByPosition_ = byPosition;
  // The popup is built afresh whenever it is needed; only the stored values
  // last. Building it here tells the caller whether a popup exists at all.
  std::unique_ptr<QMenu> popup = LoadPopupMenu(iconData_.id);
  if (!popup) return false;
  SetMenuDefaultItem(*popup, item, byPosition);
  return true;
}

qintptr CSystemTray::OnIconEvent(quint32 iconId, quint32 eventCode) {
  if (iconId != iconData_.id) return 0;
  switch (eventCode & 0xFFFF) {
    case kTrayRightButtonUp: {
      std::unique_ptr<QMenu> popup = LoadPopupMenu(iconData_.id);
      if (!popup) return 0;
      ShowPopup(*popup);
      return 1;
    }
    case kTrayLeftDoubleClick: {
      BringMainToFront();
      quint32 command = defaultItem_;
      if (defaultByPosition_) {
        std::unique_ptr<QMenu> popup = LoadPopupMenu(iconData_.id);
        if (!popup) return 0;
        command = CommandOf(ItemAt(*popup, defaultItem_, true));
      }
      // A position past the end or on a separator names no command.
      PostCommand(command);
      return 1;
    }
    default:
      return 1;
  }
}

void CSystemTray::ShowPopup(QMenu& popup) {
  SetMenuDefaultItem(popup, defaultItem_, defaultByPosition_);
  // The two start-up options are ticked from the settings as they are now.
  const auto tick = [&popup](quint32 command) {
    QAction* action = ItemAt(popup, command, false);
    action->setCheckable(true);
    action->setChecked(true);
  };
  if (readSetting_ && readSetting_(QStringLiteral("Settings"), QStringLiteral("Run At Start"), 0) != 0)
    tick(kCommandRunAtStart);
  if (readSetting_ && readSetting_(QStringLiteral("Settings"), QStringLiteral("Minimize"), 0) != 0)
    tick(kCommandMinimizeAtStart);
  const QPoint at = host_->CursorPos();
  BringMainToFront();
  PostCommand(CommandOf(host_->TrackPopup(popup, at)));
}

void CSystemTray::PostCommand(quint32 command) {
  if (command == 0) return;
  // A command may hide or delete the icon whose event is still being handled
  // below us (Show hides it); it runs once that event has returned.
  QMetaObject::invokeMethod(
      this, [this, command] { if (sendCommand_) sendCommand_(command); }, Qt::QueuedConnection);
}

void CSystemTray::OnTaskbarRestart() {
  // Only a shown icon comes back; a hidden one stays hidden, so the icon
  // never appears beside the visible main window.
  if (available_ && !hidden_) host_->AddIcon(iconData_.icon, iconData_.tip);
}

void CSystemTray::SetMainWindow(QWidget* window, CommandSink sendCommand) {
  mainWindow_ = window;
  sendCommand_ = std::move(sendCommand);
}

void CSystemTray::SetSettingReader(SettingReader reader) { readSetting_ = std::move(reader); }

void CSystemTray::BringMainToFront() const {
  if (mainWindow_ && mainWindow_->isVisible()) {
    mainWindow_->raise();
    mainWindow_->activateWindow();
  }
}
