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
  explicit MainSheet(TrayIcon& tray, QWidget* parent = nullptr);
  ~MainSheet() override;

  // Carries out one command by id. False when the id is not the sheet's.
  bool OnCommand(int id);

  QPushButton* Button(int id) const { return buttons_.value(id); }
  QTabWidget* Tabs() const { return tabs_; }
  ExpressionPage* expressionPage() const { return expressionPage_; }
  AboutPage* aboutPage() const { return aboutPage_; }
  const QIcon& programIcon() const { return windowIcon_; }
  bool initialised() const { return initialised_; }
  bool runAtStart() const { return runAtStart_ != 0; }
  bool minimizeAtStart() const { return minimizeAtStart_ != 0; }
  QSize templateSize() const { return templateSize_; }

 public slots:
  // Brings the window back, out of the tray when it is there.
  void OnShowWindow();
  // Escape: the program ends, as with "&Quit".
  void reject() override;

 signals:
  // "&Quit", Escape or the close box: the program should end.
  void quitRequested();

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
  void OnAbout();
  void OnToggleMinimize();
  void OnToggleRunAtStart();
  void OnShowGuide();
  void UpdateStartupShortcut();
  void RestoreSize();
  void SaveSize();

  TrayIcon& tray_;
  ExpressionPage* expressionPage_ = nullptr;
  AboutPage* aboutPage_ = nullptr;
  QIcon windowIcon_;
  int runAtStart_ = 0;
  int minimizeAtStart_ = 0;
  QMenu* trayMenu_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QMap<int, QPushButton*> buttons_;
  bool initialised_ = false;
  QSize templateSize_;  // what the pages' templates and the buttons need
  QSize savedSize_;     // as the settings hold it
};

}  // namespace vell
