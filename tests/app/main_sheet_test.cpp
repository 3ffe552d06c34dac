#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "app/about_page.h"
#include "app/guide_writer.h"
#include "app/main_sheet.h"
#include "app/program_icon.h"
#include "app/settings_store.h"
#include "app/vell_application.h"
#include "components/hyperlink_label.h"
#include "components/tray_icon.h"
#include "fake_tray_host.h"
#include "page_fixture.h"
#include "platform/autostart.h"
#include "platform/desktop_entry.h"
#include "platform/program_info.h"
#include "platform/single_instance.h"
#include "platform/system_services.h"
#include "recording_services.h"
#include "sandbox.h"
#include "vell_engine.h"

using vell::AboutPage;
using vell::ExpressionPage;
using vell::MainSheet;
using vell::ReadSettingInt;
using vell::ShowSheetOnLaterStarts;
using vell::WriteSettingInt;

namespace ids = vell::ids;

namespace {

const QString kSettings = QStringLiteral("Settings");

// Points Qt's icon theme lookup at folder while it lives. Theme icons look
// themselves up again when the theme changes, so it must outlive the checks.
class ScopedIconTheme {
 public:
  explicit ScopedIconTheme(const QString& folder)
      : searchPaths_(QIcon::themeSearchPaths()), themeName_(QIcon::themeName()) {
    QIcon::setThemeSearchPaths({folder});
    QIcon::setThemeName(QStringLiteral("hicolor"));
  }
  ~ScopedIconTheme() {
    QIcon::setThemeSearchPaths(searchPaths_);
    QIcon::setThemeName(themeName_);
  }
  ScopedIconTheme(const ScopedIconTheme&) = delete;
  ScopedIconTheme& operator=(const ScopedIconTheme&) = delete;

 private:
  QStringList searchPaths_;
  QString themeName_;
};

// A one-size icon theme "hicolor" under folder, with or without "vell".
void MakeIconTheme(const QString& folder, bool withVell) {
  const QString theme = folder + QStringLiteral("/hicolor");
  QVERIFY(QDir().mkpath(theme + QStringLiteral("/32x32/apps")));
  QFile index(theme + QStringLiteral("/index.theme"));
  QVERIFY(index.open(QIODevice::WriteOnly));
  index.write("[Icon Theme]\nName=Hicolor\nDirectories=32x32/apps\n\n[32x32/apps]\nSize=32\nType=Fixed\n");
  if (!withVell) return;
  QPixmap red(32, 32);
  red.fill(Qt::red);
  QVERIFY(red.save(theme + QStringLiteral("/32x32/apps/vell.png")));
}

}  // namespace

class MainSheetTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(PrepareSandbox());
    services_ = std::make_unique<ScopedRecordingServices>();
    record_ = TrayRecord();
  }

  void cleanup() {
    sheet_.reset();
    tray_.reset();
    services_.reset();
    QFile::remove(vell::GuidePathBesideProgram());
    QDir(vell::GuidePathBesideProgram()).removeRecursively();
  }

  void firstStartShowsTheWindowWithoutATrayIcon() {
    Start();
    QCOMPARE(sheet_->windowTitle(), QStringLiteral("Vell"));
    QVERIFY(!sheet_->programIcon().pixmap(32).isNull());
    QVERIFY(!sheet_->QWidget::windowIcon().isNull());
    QVERIFY(sheet_->isVisible());
    QCOMPARE(record_.adds, 1);
    QVERIFY(!record_.iconShown);
    QVERIFY(tray_->available() && tray_->hidden());
    QCOMPARE(sheet_->Tabs()->tabText(0), QStringLiteral("Expression"));
    QCOMPARE(sheet_->Tabs()->tabText(1), QStringLiteral("About Vell"));
    QCOMPARE(sheet_->Tabs()->currentIndex(), 0);
    QVERIFY(!sheet_->minimizeAtStart());
    QVERIFY(!sheet_->runAtStart());
    QVERIFY(qobject_cast<QCheckBox*>(sheet_->expressionPage()->ControlById(ids::kTipsCheck))->isChecked());
    QVERIFY(!qobject_cast<QCheckBox*>(sheet_->expressionPage()->ControlById(ids::kDetailsCheck))->isChecked());
    QCOMPARE(sheet_->expressionPage()->expressionBox()->count(), 0);
    // Typing starts in the first control, the Variables box.
    QCOMPARE(sheet_->focusWidget(), static_cast<QWidget*>(sheet_->expressionPage()->variablesBox()));
  }

  void buttonsReadHelpQuitTrayWithTheApplyPlaceEmpty() {
    Start();
    QList<QPushButton*> visible;
    for (int id : {ids::kTray, ids::kQuit, ids::kHelp}) {
      QVERIFY(sheet_->Button(id)->isVisible());
      visible << sheet_->Button(id);
    }
    std::sort(visible.begin(), visible.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList texts;
    for (QPushButton* button : visible) texts << button->text();
    QCOMPARE(texts, (QStringList{QStringLiteral("&Help"), QStringLiteral("&Quit"), QStringLiteral("&Tray")}));
    QPushButton* apply = sheet_->Button(ids::kApply);
    QVERIFY(!apply->isVisible());
    QVERIFY(apply->x() < visible.first()->x());  // its place stays, empty
    QVERIFY(sheet_->Button(ids::kTray)->isDefault());
  }

  void windowGrowsAndRemembersTheSizeTheUserChose() {
    Start();
    const QSize least = sheet_->templateSize();
    QCOMPARE(sheet_->size(), least);
    QCOMPARE(sheet_->minimumSize(), least);
    sheet_->OnCommand(ids::kTray);  // the templates' size is not stored
    QCOMPARE(ReadSettingInt(QStringLiteral("Window"), QStringLiteral("Width"), -1), -1);
    sheet_->OnShowWindow();
    QWidget* variables = sheet_->expressionPage()->variablesBox();
    const QSize box = variables->size();
    sheet_->resize(least + QSize(120, 80));
    QTRY_COMPARE(variables->size(), box + QSize(120, 80));
    sheet_->OnCommand(ids::kQuit);
    sheet_.reset();
    Start();
    QCOMPARE(sheet_->size(), least + QSize(120, 80));
  }

  void laterStartBringsTheWindowForward_data() {
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("putAway");
    QTest::newRow("from the tray") << true << true;
    QTest::newRow("minimized, no tray") << false << true;
    QTest::newRow("already shown") << true << false;
  }
  void laterStartBringsTheWindowForward() {
    QFETCH(bool, trayAvailable);
    QFETCH(bool, putAway);
    record_.available = trayAvailable;
    Start();
    const QString socket = SandboxDir() + QStringLiteral("/vell.socket");
    vell::platform::SingleInstance running(socket);
    QCOMPARE(running.Start(), vell::platform::SingleInstance::Claim::kFirst);
    ShowSheetOnLaterStarts(running, *sheet_);
    if (putAway) {
      sheet_->OnCommand(ids::kTray);
      QTRY_VERIFY(!sheet_->isVisible() || sheet_->isMinimized());
      QCOMPARE(record_.iconShown, trayAvailable);
    }
    vell::platform::SingleInstance later(socket);
    QCOMPARE(later.Start(), vell::platform::SingleInstance::Claim::kAlreadyRunning);
    QTRY_VERIFY(sheet_->isVisible() && !sheet_->isMinimized());
    QVERIFY(!record_.iconShown);
  }

  void windowAndTrayShowTheInstalledIcon_data() {
    QTest::addColumn<bool>("installed");
    QTest::newRow("not installed: the built-in icon") << false;
    QTest::newRow("installed: the theme's") << true;
  }
  void windowAndTrayShowTheInstalledIcon() {
    QFETCH(bool, installed);
    const QString folder =
        SandboxDir() + (installed ? QStringLiteral("/icons-with") : QStringLiteral("/icons-without"));
    MakeIconTheme(folder, installed);
    const ScopedIconTheme theme(folder);
    Start();
    sheet_->OnCommand(ids::kTray);
    QVERIFY(record_.iconShown);
    const QImage shown = record_.icon.pixmap(32).toImage();
    QCOMPARE(shown, sheet_->QWidget::windowIcon().pixmap(32).toImage());
    if (installed) {
      QCOMPARE(record_.icon.name(), QString::fromLatin1(vell::kIconThemeName));
      QCOMPARE(shown.pixelColor(16, 16), QColor(Qt::red));
    } else {
      QCOMPARE(shown, vell::ResourceIcon().pixmap(32).toImage());
      for (const int size : {16, 32, 48, 64, 128, 256})
        QVERIFY2(vell::ResourceIcon().availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
  }

  void trayAndBack() {
    Start();
    sheet_->Button(ids::kTray)->click();
    QVERIFY(!sheet_->isVisible());
    QVERIFY(record_.iconShown);
    host_->Activate(QSystemTrayIcon::DoubleClick);  // the popup's default item, "&Show"
    QTRY_VERIFY(sheet_->isVisible());
    QVERIFY(!record_.iconShown);
    sheet_->OnCommand(ids::kTray);
    record_.choice = QStringLiteral("&Show");
    host_->Activate(QSystemTrayIcon::Context);
    QTRY_VERIFY(sheet_->isVisible());
    QCOMPARE(record_.defaultText, QStringLiteral("&Show"));
    QCOMPARE(record_.lastItems,
             (QStringList{"&Show", "-", "Minimize to &Tray at start", "&Run on Windows-start", "-", "&About..."}));
  }

  void controlKeysSwitchPagesFromAnywhere_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Ctrl+PgDn") << int(Qt::Key_PageDown) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+PgUp") << int(Qt::Key_PageUp) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << int(Qt::ControlModifier);
    QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier);
  }
  void controlKeysSwitchPagesFromAnywhere() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    Start();
    // Two pages: either direction reaches the other one, and wraps back.
    QWidget* variables = sheet_->expressionPage()->variablesBox();
    variables->setFocus();
    QTest::keyClick(variables, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(sheet_->Tabs()->currentWidget(), sheet_->aboutPage());
    QTest::keyClick(sheet_->aboutPage(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(sheet_->Tabs()->currentWidget(), sheet_->expressionPage());
    QVERIFY(sheet_->expressionPage()->variablesBox()->toPlainText().isEmpty());
  }

  void aboutFromTheTrayShowsTheAboutPage() {
    Start();
    sheet_->OnCommand(ids::kTray);
    record_.choice = QStringLiteral("&About...");
    host_->Activate(QSystemTrayIcon::Context);
    QTRY_VERIFY(sheet_->isVisible());
    QVERIFY(!record_.iconShown);
    QCOMPARE(sheet_->Tabs()->currentWidget(), sheet_->aboutPage());
  }

  void quitEscapeAndCloseBoxEndTheProgram_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("quit button") << 0;
    QTest::newRow("escape") << 1;
    QTest::newRow("close box") << 2;
  }
  void quitEscapeAndCloseBoxEndTheProgram() {
    QFETCH(int, how);
    Start();
    QSignalSpy quit(sheet_.get(), &MainSheet::quitRequested);
    if (how == 0) sheet_->Button(ids::kQuit)->click();
    if (how == 1) QTest::keyClick(sheet_->expressionPage()->variablesBox(), Qt::Key_Escape);
    if (how == 2) sheet_->close();
    QCOMPARE(quit.count(), 1);
    QVERIFY(!sheet_->isVisible());
    QVERIFY(!QFile::exists(vell::GuidePathBesideProgram()));
  }

  void minimizeAtStartToggles() {
    Start();
    sheet_->OnCommand(ids::kMinimizeAtStart);
    QVERIFY(sheet_->minimizeAtStart());
    QCOMPARE(ReadSettingInt(kSettings, QStringLiteral("Minimize"), 0), 1);
    record_.choice.clear();
    host_->Activate(QSystemTrayIcon::Context);
    QCOMPARE(record_.lastChecks.value(QStringLiteral("Minimize to &Tray at start")), true);
    QCOMPARE(record_.lastChecks.value(QStringLiteral("&Run on Windows-start")), false);
    record_.choice = QStringLiteral("Minimize to &Tray at start");  // toggled from the popup
    host_->Activate(QSystemTrayIcon::Context);
    QTRY_VERIFY(!sheet_->minimizeAtStart());
    QCOMPARE(ReadSettingInt(kSettings, QStringLiteral("Minimize"), 1), 0);
  }

  void runAtStartWritesAndRemovesTheAutostartEntry() {
    Start();
    const QString entry = vell::platform::AutostartEntryPath(QStringLiteral("Vell"));
    sheet_->OnCommand(ids::kRunAtStart);
    QVERIFY(sheet_->runAtStart());
    QCOMPARE(ReadSettingInt(kSettings, QStringLiteral("Run At Start"), 0), 1);
    QVERIFY(QFile::exists(entry));
    vell::platform::DesktopEntry desktop;
    QVERIFY(vell::platform::ReadDesktopEntry(entry, &desktop));
    QCOMPARE(desktop.name, QStringLiteral("Vell"));
    QStringList exec;
    QVERIFY(vell::platform::SplitExecLine(desktop.exec, &exec));
    QCOMPARE(exec, QStringList{vell::platform::ProgramFolder() + QStringLiteral("vell")});
    QCOMPARE(vell::platform::ReadKeyFileGroup(entry, QStringLiteral("Desktop Entry")).value(QStringLiteral("Comment")),
             QStringLiteral("Vell"));
    record_.choice.clear();
    host_->Activate(QSystemTrayIcon::Context);
    QCOMPARE(record_.lastChecks.value(QStringLiteral("&Run on Windows-start")), true);
    sheet_->OnCommand(ids::kRunAtStart);
    QVERIFY(!sheet_->runAtStart());
    QCOMPARE(ReadSettingInt(kSettings, QStringLiteral("Run At Start"), 1), 0);
    QVERIFY(!QFile::exists(entry));
    QVERIFY(services_->messages.isEmpty());
  }

  void autostartEntryThatCannotBeWrittenSaysSo() {
    // A file where the autostart folder belongs.
    QVERIFY(WriteFile(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart"), QByteArray("x")));
    Start();
    sheet_->OnCommand(ids::kRunAtStart);
    QCOMPARE(services_->messages.size(), 1);
    QCOMPARE(services_->messages.first().second, QStringLiteral("Error creating Shortcut"));
    QVERIFY(sheet_->runAtStart());  // the setting stays toggled
  }

  void startMinimizedEndsInTheTray() {
    WriteSettingInt(kSettings, QStringLiteral("Minimize"), 1);
    Start(false);
    QVERIFY(sheet_->isVisible());  // for an instant
    QTRY_VERIFY(!sheet_->isVisible());
    QVERIFY(record_.iconShown);
  }

  void withoutATrayTheWindowMinimizesInstead() {
    record_.available = false;
    WriteSettingInt(kSettings, QStringLiteral("Minimize"), 1);
    Start();
    QVERIFY(!tray_->available());
    QTRY_VERIFY(sheet_->isMinimized());
    QVERIFY(sheet_->isVisible());
    sheet_->showNormal();
    QTRY_VERIFY(!sheet_->isMinimized());
    sheet_->Button(ids::kTray)->click();
    QVERIFY(sheet_->isMinimized());
    QVERIFY(sheet_->isVisible());
    QCOMPARE(record_.adds, 0);
  }

  void enterEvaluatesOnTheExpressionPage_data() {
    QTest::addColumn<int>("focus");
    QTest::newRow("expression box") << int(ids::kExpressionBox);
    QTest::newRow("open button") << int(ids::kOpenVariables);
    QTest::newRow("tips check box") << int(ids::kTipsCheck);
  }
  void enterEvaluatesOnTheExpressionPage() {
    QFETCH(int, focus);
    Start();
    ScriptedChooser chooser;
    ExpressionPage* page = sheet_->expressionPage();
    page->SetFileChooser(&chooser);
    page->variablesBox()->setPlainText(QStringLiteral("a=20"));
    page->expressionBox()->setEditText(QStringLiteral("a/4"));
    QWidget* target = page->ControlById(focus);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(page->resultBox()->text(), QString());  // posted, not yet run
    QTRY_COMPARE(page->resultBox()->text(), QStringLiteral("5"));
    QVERIFY(chooser.requests.isEmpty());
    QVERIFY(sheet_->isVisible());
  }

  void enterInTheVariablesBoxBreaksTheLine() {
    Start();
    ExpressionPage* page = sheet_->expressionPage();
    page->variablesBox()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(page->variablesBox()));
    QTest::keyClicks(page->variablesBox(), QStringLiteral("a=1"));
    QTest::keyClick(page->variablesBox(), Qt::Key_Return);
    QTest::keyClicks(page->variablesBox(), QStringLiteral("b=2"));
    QTest::qWait(10);
    QCOMPARE(page->variablesBox()->Bytes(), std::string("a=1\r\nb=2"));
    QCOMPARE(page->resultBox()->text(), QString());

    // Without an active window (no window manager) keys still reach the box.
    QApplication::setActiveWindow(nullptr);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(nullptr));
    QTest::keyClick(page->variablesBox(), Qt::Key_Return);
    QTest::keyClicks(page->variablesBox(), QStringLiteral("c=3"));
    QTest::qWait(10);
    QCOMPARE(page->variablesBox()->Bytes(), std::string("a=1\r\nb=2\r\nc=3"));
    QCOMPARE(page->resultBox()->text(), QString());
  }

  void enterOnTheAboutPageGoesToTheTray() {
    Start();
    sheet_->Tabs()->setCurrentIndex(1);
    sheet_->Tabs()->tabBar()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(sheet_->Tabs()->tabBar()));
    QTest::keyClick(sheet_->Tabs()->tabBar(), Qt::Key_Return);
    QTRY_VERIFY(!sheet_->isVisible());
    QVERIFY(record_.iconShown);
    QCOMPARE(sheet_->expressionPage()->resultBox()->text(), QString());
  }

  void helpWritesTheGuideBesideTheProgramAndOpensIt() {
    Start();
    const QString path = vell::GuidePathBesideProgram();
    QVERIFY(WriteFile(path, QByteArray("stale")));
    sheet_->Button(ids::kHelp)->click();
    sheet_->OnCommand(ids::kHelp);
    const QByteArray guide = ReadFile(vell::ResourcePath(QStringLiteral("TEXT"), 133));
    QCOMPARE(ReadFile(path), guide);
    QCOMPARE(services_->openedUrls.size(), 2);
    QCOMPARE(services_->openedUrls.last(), QUrl::fromLocalFile(path));
    QVERIFY(services_->messages.isEmpty());
  }

  void helpFallsBackToTheUsersDataFolder() {
    // Something that cannot be replaced by a file where the guide would go.
    QVERIFY(QDir().mkpath(vell::GuidePathBesideProgram() + QStringLiteral("/blocked")));
    Start();
    sheet_->OnCommand(ids::kHelp);
    const QString fallback = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/vell/vell.txt");
    QCOMPARE(vell::GuideFallbackPath(), fallback);
    QCOMPARE(ReadFile(fallback), ReadFile(vell::ResourcePath(QStringLiteral("TEXT"), 133)));
    QCOMPARE(services_->openedUrls, QList<QUrl>{QUrl::fromLocalFile(fallback)});
    QVERIFY(services_->messages.isEmpty());
  }

  void missingResourceIsReported() {
    const QString path = SandboxDir() + QStringLiteral("/out.txt");
    QVERIFY(!vell::WriteResourceToFile(QStringLiteral("TEXT"), 999, path));
    QCOMPARE(services_->messages.size(), 1);
    QCOMPARE(services_->messages.first().second, QStringLiteral("Error in Vell.Exe"));
    QVERIFY(!QFile::exists(path));
  }

  void guideCoversItsTopicsInOrderWithCrLfLines() {
    const QByteArray guide = ReadFile(vell::ResourcePath(QStringLiteral("TEXT"), 133));
    QVERIFY2(guide.size() > 3000 && guide.size() < 4500, QByteArray::number(guide.size()).constData());
    QCOMPARE(guide.count('\n'), guide.count("\r\n"));
    QCOMPARE(guide.count('\r'), guide.count("\r\n"));
    qsizetype at = 0;
    for (const char* topic : {"What Vell is for", "Variables", "Reserved words", "Expressions", "Evaluating", "\"E\"",
                              "Checking for errors", "order of evaluation", "passes", "Tips", "Hiding to the tray",
                              "Minimize to Tray at start"}) {
      const qsizetype found = guide.indexOf(topic, at);
      QVERIFY2(found >= 0, topic);
      at = found;
    }
  }

  void aboutPageShowsTitleVersionAndLink() {
    Start();
    AboutPage* about = sheet_->aboutPage();
    QCOMPARE(about->titleLabel()->text(), QStringLiteral("Vell"));
    QCOMPARE(about->titleLabel()->font().pixelSize(), 20);
    QVERIFY(about->titleLabel()->font().bold());
    QCOMPARE(about->link()->text(), QStringLiteral("Want more free software like this? Visit QUORVANT now!!!"));
    QCOMPARE(about->link()->target(), AboutPage::MakerAddress());
    QCOMPARE(about->link()->toolTip(), AboutPage::MakerAddress());
    QVERIFY(about->link()->attached());
    QStringList texts;
    for (QLabel* label : about->findChildren<QLabel*>()) texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("Version 1.5 (1/27/2000)")));
    QVERIFY(texts.filter(AboutPage::SupportAddress()).size() == 1);
    QCOMPARE(AboutPage::MakerAddress(), QStringLiteral(VELL_MAKER_URL));  // as configured
  }

  void everyControlHasAnAccessibleName() {
    Start();
    int checked = 0;
    for (QWidget* widget : sheet_->findChildren<QWidget*>()) {
      const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
                           qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QGroupBox*>(widget) ||
                           qobject_cast<QLabel*>(widget) ||
                           (qobject_cast<QLineEdit*>(widget) && !qobject_cast<QComboBox*>(widget->parentWidget()));
      if (!control || widget->parentWidget() == nullptr) continue;
      if (qobject_cast<QAbstractButton*>(widget) && !qobject_cast<QPushButton*>(widget) &&
          !qobject_cast<QCheckBox*>(widget))
        continue;  // the tab bar's own scroll arrows
      QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
      QVERIFY(iface);
      const QString name = iface->text(QAccessible::Name);
      QVERIFY2(!name.isEmpty(), qPrintable(widget->metaObject()->className()));
      QVERIFY2(!name.contains(QLatin1Char('&')), qPrintable(name));
      ++checked;
    }
    QVERIFY2(checked >= 24, qPrintable(QString::number(checked)));
    QCOMPARE(sheet_->expressionPage()->ControlById(ids::kEvaluate)->accessibleName(), QStringLiteral("Evaluate"));
    QCOMPARE(sheet_->expressionPage()->variablesBox()->accessibleName(), QStringLiteral("Variables (Optional)"));
    QCOMPARE(sheet_->Button(ids::kTray)->accessibleName(), QStringLiteral("Tray"));
  }

 private:
  void Start(bool waitForExposure = true) {
    auto host = std::make_unique<FakeTrayHost>(&record_);
    host_ = host.get();
    tray_ = std::make_unique<vell::TrayIcon>(std::move(host));
    sheet_ = std::make_unique<MainSheet>(*tray_);
    sheet_->show();
    sheet_->activateWindow();
    if (waitForExposure) QVERIFY(QTest::qWaitForWindowExposed(sheet_.get()));
  }

  TrayRecord record_;
  FakeTrayHost* host_ = nullptr;
  std::unique_ptr<vell::TrayIcon> tray_;
  std::unique_ptr<MainSheet> sheet_;
  std::unique_ptr<ScopedRecordingServices> services_;
};

QTEST_MAIN(MainSheetTest)
#include "main_sheet_test.moc"
