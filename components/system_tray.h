#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "components/tray_host.h"
#include "components/tray_menu.h"

// The program's icon in the desktop's notification area. It shows a popup
// menu on a right click, sends the popup's default command on a double click
// and hands every command to the main window by id; it never carries out a
// command itself.
//
// Make it after the QApplication and destroy it before: the icon is a Qt object.
class CSystemTray : public QObject {
  Q_OBJECT

 public:
  // Reads an integer setting: (section, value name, default).
  using SettingReader = std::function<int(const QString&, const QString&, int)>;
  using CommandSink = std::function<void(quint32 commandId)>;

  // What every add of the icon is made from.
  struct IconData {
    QPointer<QWidget> owner;
    quint32 id = 0;
    quint32 callbackMessage = 0;
    QIcon icon;
    QString tip;
  };

  // Longest tip the notification area takes; longer ones are cut.
  static constexpr int kMaxTipLength = 63;

  // Without a host the icon goes to the desktop through QSystemTrayIcon.
  explicit CSystemTray(std::unique_ptr<TrayIconHost> host = nullptr);
  ~CSystemTray() override;

  // Adds the icon; false (and nothing shown) when there is no tray.
  bool AddTrayIcon(QWidget* owner, quint32 callbackMessage, const QString& tipText, const QIcon& icon,
                   quint32 iconId);
  void HideTrayIcon();
  void ShowTrayIcon();
  void RemoveTrayIcon();
  // Chooses the popup's default item: a position, or a command id.
  bool SetDefaultItem(quint32 item, bool byPosition);

  // Handles one notification (a kTray... code) for the icon iconId.
  // Returns 0 when it was not for this icon or the popup is missing, else 1.
  virtual qintptr OnIconEvent(quint32 iconId, quint32 eventCode);
  // The tray came back after a restart: a shown icon is added again.
  void OnTaskbarRestart();

  // The main window: brought to the front before a popup or a double click,
  // and sendCommand receives every command.
  void SetMainWindow(QWidget* window, CommandSink sendCommand);
  // Source of the two settings that tick the popup's items.
  void SetSettingReader(SettingReader reader);

  bool available() const { return available_; }
  bool hidden() const { return hidden_; }
  quint32 defaultItem() const { return defaultItem_; }
  bool defaultByPosition() const { return defaultByPosition_; }
  const IconData& iconData() const { return iconData_; }

 private:
  void BringMainToFront() const;
  void ShowPopup(QMenu& popup);
  void PostCommand(quint32 command);

  bool available_ = false;
  bool hidden_ = false;
  IconData iconData_;
  quint32 defaultItem_ = 0;
  bool defaultByPosition_ = true;

  std::unique_ptr<TrayIconHost> host_;
  QPointer<QWidget> mainWindow_;
  CommandSink sendCommand_;
  SettingReader readSetting_;
};
