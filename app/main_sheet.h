#pragma once

#include <QDialog>
#include <QIcon>
#include <QMap>

class QKeyEvent;
class QMenu;
class QPushButton;
class QTabWidget;

namespace vell {

class AboutPage;
class ExpressionPage;
class TrayIcon;

// The program's one window: the Expression and About pages above the
// buttons "&Help", "&Quit" and "&Tray". It hides to the tray icon and comes
// back, carries out the tray popup's commands and keeps the two start-up
// options. Every command, whatever sent it, goes through OnCommand.
class MainSheet : public QDialog {
  Q_OBJECT

 public:
  explicit MainSheet(vell::TrayIcon& tray, QWidget* parent = nullptr);
  ~MainSheet() override;

  // Carries out one command by id. False when the id is not the sheet's.
  bool OnCommand(int id);

  void OnShowWindow();
  void OnAbout();
  void OnToggleMinimize();
  void OnToggleRunAtStart();
  void OnShowGuide();
  void UpdateStartupShortcut();

  // Folder of the program file, with a trailing separator.
  static QString GetProgramFolder();

  QPushButton* Button(int id) const { return buttons_.value(id); }
  QTabWidget* Tabs() const { return tabs_; }
  bool initialised() const { return initialised_; }

  ExpressionPage* expressionPage = nullptr;
  AboutPage* aboutPage = nullptr;
  QIcon windowIcon;
  int runAtStart = 0;
  int minimizeAtStart = 0;

 signals:
  // "&Quit", Escape or the close box: the program should end.
  void quitRequested();

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Enter on the Expression page evaluates, except in the Variables box.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateButtons();
  void CreateTrayMenu();
  void TickTrayMenu();
  void OnInitDialog();
  void GoToTray();
  bool SwitchPage(const QKeyEvent& key);
  void Quit();

  vell::TrayIcon& tray_;
  QMenu* trayMenu_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QMap<int, QPushButton*> buttons_;
  bool initialised_ = false;
};

}  // namespace vell
