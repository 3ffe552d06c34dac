#include <QAction>
#include <QMenu>
#include <QtTest>

#include "app/settings_store.h"
#include "components/system_tray.h"
#include "sandbox.h"

namespace {

// What a popup looked like when it was opened.
struct PopupSnapshot {
  QStringList texts;  // "-" for a separator
  QList<quint32> commands;
  QString defaultText;
  QList<quint32> checked;
};

// A notification area that records what is asked of it.
class FakeHost : public TrayIconHost {
 public:
  explicit FakeHost(bool available) : available_(available) {}

  bool TrayAvailable() override { return available_; }
  void AddIcon(const QIcon&, const QString& tip) override {
    Record(QStringLiteral("add"));
    lastTip = tip;
  }
  void DeleteIcon() override { Record(QStringLiteral("delete")); }
  QAction* TrackPopup(QMenu& menu, const QPoint& at) override {
    PopupSnapshot shot;
    for (QAction* action : menu.actions()) {
      shot.texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
      shot.commands << CommandOf(action);
      if (action->isChecked()) shot.checked << CommandOf(action);
    }
    shot.defaultText = menu.defaultAction() ? menu.defaultAction()->text() : QString();
    popups << shot;
    popupAt = at;
    for (QAction* action : menu.actions())
      if (chooseCommand != 0 && CommandOf(action) == chooseCommand) return action;
    return nullptr;
  }
  QPoint CursorPos() override { return QPoint(640, 470); }

  void Event(quint32 code) { Notify(code); }
  void Restart() { NotifyRestart(); }

  QStringList log;
  QStringList* outliving = nullptr;  // a copy of the log that outlives the host
  QString lastTip;
  QList<PopupSnapshot> popups;
  QPoint popupAt;
  quint32 chooseCommand = 0;

 private:
  void Record(const QString& call) {
    log << call;
    if (outliving) *outliving << call;
  }
  bool available_;
};

struct Fixture {
  explicit Fixture(bool available = true, quint32 iconId = kTrayMenuId) : host(new FakeHost(available)), tray(std::unique_ptr<TrayIconHost>(host)) {
    tray.SetMainWindow(nullptr, [this](quint32 command) { commands << command; });
    added = tray.AddTrayIcon(nullptr, 1034, QStringLiteral("Vell"), QIcon(), iconId);
  }
  FakeHost* host;  // owned by tray
  CSystemTray tray;
  QList<quint32> commands;
  bool added = false;
};

}  // namespace

class SystemTrayTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(PrepareSandbox()); }

  void stateTable_data() {
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("hostLog");
    QTest::addColumn<bool>("available");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("added") << true << QStringList{} << QStringList{"add"} << true << false;
    QTest::newRow("main window start") << true << QStringList{"hide"} << QStringList{"add", "delete"} << true << true;
    QTest::newRow("hide twice") << true << QStringList{"hide", "hide"} << QStringList{"add", "delete"} << true << true;
    QTest::newRow("show while shown") << true << QStringList{"show"} << QStringList{"add"} << true << false;
    QTest::newRow("to tray and back") << true << QStringList{"hide", "show", "hide"}
                                      << QStringList{"add", "delete", "add", "delete"} << true << true;
    QTest::newRow("restart while shown") << true << QStringList{"restart"} << QStringList{"add", "add"} << true << false;
    QTest::newRow("restart while hidden") << true << QStringList{"hide", "restart", "show", "hide"}
                                          << QStringList{"add", "delete", "add", "delete"} << true << true;
    QTest::newRow("removed") << true << QStringList{"hide", "remove", "show", "hide", "remove", "restart"}
                             << QStringList{"add", "delete", "delete"} << false << true;
    QTest::newRow("no tray") << false << QStringList{"hide", "show", "remove", "restart"} << QStringList{} << false << false;
  }
  void stateTable() {
    QFETCH(bool, trayAvailable);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, hostLog);
    QFETCH(bool, available);
    QFETCH(bool, hidden);
    Fixture f(trayAvailable);
    QCOMPARE(f.added, trayAvailable);
    for (const QString& step : steps) {
      if (step == QLatin1String("hide")) f.tray.HideTrayIcon();
      if (step == QLatin1String("show")) f.tray.ShowTrayIcon();
      if (step == QLatin1String("remove")) f.tray.RemoveTrayIcon();
      if (step == QLatin1String("restart")) f.host->Restart();
    }
    QCOMPARE(f.host->log, hostLog);
    QCOMPARE(f.tray.available(), available);
    QCOMPARE(f.tray.hidden(), hidden);
  }

  void destructorRemovesTheIcon() {
    QStringList log;
    {
      auto* host = new FakeHost(true);
      host->outliving = &log;
      CSystemTray tray{std::unique_ptr<TrayIconHost>(host)};
      QVERIFY(tray.AddTrayIcon(nullptr, 1034, QStringLiteral("Vell"), QIcon(), kTrayMenuId));
      QCOMPARE(tray.metaObject()->className(), "CSystemTray");
    }
    QCOMPARE(log, (QStringList{QStringLiteral("add"), QStringLiteral("delete")}));
  }

  void iconRecordAndLongTip() {
    Fixture f;
    QCOMPARE(f.tray.iconData().id, kTrayMenuId);
    QCOMPARE(f.tray.iconData().callbackMessage, 1034u);
    QCOMPARE(f.host->lastTip, QStringLiteral("Vell"));
    const QString longTip(100, QLatin1Char('x'));
    f.tray.AddTrayIcon(nullptr, 1034, longTip, QIcon(), kTrayMenuId);
    QCOMPARE(f.host->lastTip, longTip.left(63));
  }

  void realTrayMissingOffscreen() {
    // The offscreen platform has no notification area: the add fails.
    CSystemTray tray;
    QVERIFY(!tray.AddTrayIcon(nullptr, 1034, QStringLiteral("Vell"), QIcon(), kTrayMenuId));
    QVERIFY(!tray.available());
    tray.HideTrayIcon();
    tray.ShowTrayIcon();
    QVERIFY(!tray.hidden());
  }

  void setDefaultItem() {
    Fixture f;
    QVERIFY(f.tray.SetDefaultItem(0, true));
    QVERIFY(f.tray.SetDefaultItem(kCommandAbout, false));
    QCOMPARE(f.tray.defaultItem(), kCommandAbout);
    QVERIFY(!f.tray.defaultByPosition());
    Fixture noMenu(true, 7);
    QVERIFY(noMenu.tray.SetDefaultItem(0, true));  // unchanged: no menu needed
    QVERIFY(!noMenu.tray.SetDefaultItem(2, true));
    QCOMPARE(noMenu.tray.defaultItem(), 2u);  // stored all the same
  }

  void otherEventsDoNothing_data() {
    QTest::addColumn<quint32>("iconId");
    QTest::addColumn<quint32>("event");
    QTest::addColumn<int>("result");
    QTest::newRow("other icon") << 5u << quint32(kTrayRightButtonUp) << 0;
    QTest::newRow("left click") << kTrayMenuId << quint32(kTrayLeftButtonUp) << 1;
    QTest::newRow("left press") << kTrayMenuId << quint32(kTrayLeftButtonDown) << 1;
    QTest::newRow("right press") << kTrayMenuId << quint32(kTrayRightButtonDown) << 1;
    QTest::newRow("mouse move") << kTrayMenuId << quint32(kTrayMouseMove) << 1;
    QTest::newRow("middle click") << kTrayMenuId << quint32(kTrayMiddleButtonUp) << 1;
    QTest::newRow("double click elsewhere") << 129u << quint32(kTrayLeftDoubleClick) << 0;
  }
  void otherEventsDoNothing() {
    QFETCH(quint32, iconId);
    QFETCH(quint32, event);
    QFETCH(int, result);
    Fixture f;
    QCOMPARE(int(f.tray.OnIconEvent(iconId, event)), result);
    QVERIFY(f.host->popups.isEmpty());
    QCoreApplication::processEvents();  // commands arrive queued
    QVERIFY(f.commands.isEmpty());
  }

  void doubleClickSendsTheDefault_data() {
    QTest::addColumn<quint32>("iconId");
    QTest::addColumn<quint32>("item");
    QTest::addColumn<bool>("byPosition");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<quint32>>("sent");
    QTest::newRow("first item") << kTrayMenuId << 0u << true << 1 << QList<quint32>{kCommandShow};
    QTest::newRow("last item") << kTrayMenuId << 5u << true << 1 << QList<quint32>{kCommandAbout};
    QTest::newRow("by command") << kTrayMenuId << kCommandMinimizeAtStart << false << 1 << QList<quint32>{kCommandMinimizeAtStart};
    QTest::newRow("separator") << kTrayMenuId << 1u << true << 1 << QList<quint32>{};
    QTest::newRow("past the end") << kTrayMenuId << 9u << true << 1 << QList<quint32>{};
    QTest::newRow("no menu, by position") << 7u << 0u << true << 0 << QList<quint32>{};
    QTest::newRow("no menu, by command") << 7u << kCommandShow << false << 1 << QList<quint32>{kCommandShow};
  }
  void doubleClickSendsTheDefault() {
    QFETCH(quint32, iconId);
    QFETCH(quint32, item);
    QFETCH(bool, byPosition);
    QFETCH(int, result);
    QFETCH(QList<quint32>, sent);
    Fixture f(true, iconId);
    f.tray.SetDefaultItem(item, byPosition);
    QCOMPARE(int(f.tray.OnIconEvent(iconId, 0x12340000u | kTrayLeftDoubleClick)), result);
    QTRY_COMPARE(f.commands, sent);
  }

  void hostNotificationsReachTheTray() {
    Fixture f;
    f.host->Event(kTrayLeftDoubleClick);
    QTRY_COMPARE(f.commands, QList<quint32>{kCommandShow});
  }

  void popupContentsAndChecks_data() {
    QTest::addColumn<int>("runAtStart");
    QTest::addColumn<int>("minimize");
    QTest::addColumn<QList<quint32>>("checked");
    QTest::newRow("neither") << 0 << 0 << QList<quint32>{};
    QTest::newRow("run at start") << 1 << 0 << QList<quint32>{kCommandRunAtStart};
    QTest::newRow("minimize") << 0 << 1 << QList<quint32>{kCommandMinimizeAtStart};
    QTest::newRow("both, any non-zero") << -3 << 2 << QList<quint32>{kCommandMinimizeAtStart, kCommandRunAtStart};
  }
  void popupContentsAndChecks() {
    QFETCH(int, runAtStart);
    QFETCH(int, minimize);
    QFETCH(QList<quint32>, checked);
    Fixture f;
    QStringList asked;
    f.tray.SetSettingReader([&](const QString& section, const QString& name, int defaultValue) {
      asked << section + QLatin1Char('/') + name + QLatin1Char('=') + QString::number(defaultValue);
      return name == QLatin1String("Run At Start") ? runAtStart : minimize;
    });
    QCOMPARE(int(f.tray.OnIconEvent(kTrayMenuId, kTrayRightButtonUp)), 1);
    QCOMPARE(f.host->popups.size(), 1);
    const PopupSnapshot& shot = f.host->popups.first();
    QCOMPARE(shot.texts, (QStringList{"&Show", "-", "Minimize to &Tray at start", "&Run on Windows-start", "-", "&About..."}));
    QCOMPARE(shot.commands, (QList<quint32>{kCommandShow, 0, kCommandMinimizeAtStart, kCommandRunAtStart, 0, kCommandAbout}));
    QCOMPARE(shot.defaultText, QStringLiteral("&Show"));
    QCOMPARE(shot.checked, checked);
    QCOMPARE(asked, (QStringList{"Settings/Run At Start=0", "Settings/Minimize=0"}));
    QCOMPARE(f.host->popupAt, QPoint(640, 470));
    QCoreApplication::processEvents();  // commands arrive queued
    QVERIFY(f.commands.isEmpty());  // dismissed
  }

  void popupChecksFollowTheStore() {
    Fixture f;
    f.tray.SetSettingReader(ReadSettingInt);
    f.tray.OnIconEvent(kTrayMenuId, kTrayRightButtonUp);
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Run at start"), 1));
    f.tray.OnIconEvent(kTrayMenuId, kTrayRightButtonUp);
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Minimize"), 1));
    QVERIFY(WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("Run At Start"), 0));
    f.tray.OnIconEvent(kTrayMenuId, kTrayRightButtonUp);
    QCOMPARE(f.host->popups.size(), 3);
    QCOMPARE(f.host->popups.at(0).checked, QList<quint32>{});
    QCOMPARE(f.host->popups.at(1).checked, QList<quint32>{kCommandRunAtStart});
    QCOMPARE(f.host->popups.at(2).checked, QList<quint32>{kCommandMinimizeAtStart});
  }

  void popupDefaultFollowsSetDefaultItem() {
    Fixture f;
    f.tray.SetDefaultItem(kCommandAbout, false);
    f.tray.OnIconEvent(kTrayMenuId, kTrayRightButtonUp);
    QCOMPARE(f.host->popups.first().defaultText, QStringLiteral("&About..."));
  }

  void chosenCommandReachesTheMainWindow_data() {
    QTest::addColumn<quint32>("command");
    QTest::newRow("show") << kCommandShow;
    QTest::newRow("minimize") << kCommandMinimizeAtStart;
    QTest::newRow("run at start") << kCommandRunAtStart;
    QTest::newRow("about") << kCommandAbout;
  }
  void chosenCommandReachesTheMainWindow() {
    QFETCH(quint32, command);
    Fixture f;
    f.host->chooseCommand = command;
    QCOMPARE(int(f.tray.OnIconEvent(kTrayMenuId, kTrayRightButtonUp)), 1);
    QTRY_COMPARE(f.commands, QList<quint32>{command});
  }

  void popupWithoutMenu() {
    Fixture f(true, 7);
    QCOMPARE(int(f.tray.OnIconEvent(7, kTrayRightButtonUp)), 0);
    QVERIFY(f.host->popups.isEmpty());
  }

  void activationsMapToNotifications_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("statusNotifier");
    QTest::addColumn<quint32>("event");
    QTest::newRow("context") << int(QSystemTrayIcon::Context) << false << quint32(kTrayRightButtonUp);
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << false << quint32(kTrayLeftDoubleClick);
    QTest::newRow("click on an XEmbed tray") << int(QSystemTrayIcon::Trigger) << false << quint32(kTrayLeftButtonUp);
    QTest::newRow("activation on a StatusNotifier tray") << int(QSystemTrayIcon::Trigger) << true << quint32(kTrayLeftDoubleClick);
    QTest::newRow("context on a StatusNotifier tray") << int(QSystemTrayIcon::Context) << true << quint32(kTrayRightButtonUp);
    QTest::newRow("middle") << int(QSystemTrayIcon::MiddleClick) << true << quint32(kTrayMiddleButtonUp);
  }
  void activationsMapToNotifications() {
    QFETCH(int, reason);
    QFETCH(bool, statusNotifier);
    QFETCH(quint32, event);
    QCOMPARE(ActivationEvent(QSystemTrayIcon::ActivationReason(reason), statusNotifier), event);
  }
};

QTEST_MAIN(SystemTrayTest)
#include "system_tray_test.moc"
