#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include "components/tray_icon.h"
#include "sandbox.h"

using vell::TrayIcon;
using Reason = QSystemTrayIcon::ActivationReason;

namespace {

// A notification area that records what is asked of it. Its popup picks
// the action named chooseText, as a user's click would.
class FakeHost : public vell::TrayIconHost {
 public:
  explicit FakeHost(bool available) : available_(available) {}

  bool TrayAvailable() override { return available_; }
  void AddIcon(const QIcon&, const QString& tip) override {
    log << QStringLiteral("add");
    lastTip = tip;
  }
  void DeleteIcon() override { log << QStringLiteral("delete"); }
  QAction* TrackPopup(QMenu& menu, const QPoint& at) override {
    popupAt = at;
    ++popups;
    for (QAction* action : menu.actions()) {
      if (action->isSeparator() || action->text() != chooseText) continue;
      action->trigger();
      return action;
    }
    return nullptr;
  }
  QPoint CursorPos() override { return QPoint(640, 470); }

  void Activate(Reason reason) { Activated(reason); }

  QStringList log;
  QString lastTip;
  QString chooseText;
  QPoint popupAt;
  int popups = 0;

 private:
  bool available_;
};

struct Fixture {
  explicit Fixture(bool available = true) : host(new FakeHost(available)), tray(std::unique_ptr<FakeHost>(host)) {
    show = menu.addAction(QStringLiteral("one"));
    menu.addSeparator();
    other = menu.addAction(QStringLiteral("two"));
    menu.setDefaultAction(show);
    tray.SetMenu(&menu);
    added = tray.Add(QIcon(), QStringLiteral("tip"));
  }
  FakeHost* host;  // owned by tray
  TrayIcon tray;
  QMenu menu;
  QAction* show = nullptr;
  QAction* other = nullptr;
  bool added = false;
};

}  // namespace

class TrayIconTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(PrepareSandbox()); }

  void stateTable_data() {
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("hostLog");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("added") << true << QStringList{} << QStringList{"add"} << false;
    QTest::newRow("hide twice") << true << QStringList{"hide", "hide"} << QStringList{"add", "delete"} << true;
    QTest::newRow("show while shown") << true << QStringList{"show"} << QStringList{"add"} << false;
    QTest::newRow("to tray and back") << true << QStringList{"hide", "show", "hide"}
                                      << QStringList{"add", "delete", "add", "delete"} << true;
    QTest::newRow("removed") << true << QStringList{"hide", "remove", "show", "remove"}
                             << QStringList{"add", "delete", "delete"} << true;
    QTest::newRow("no tray") << false << QStringList{"hide", "show", "remove"} << QStringList{} << false;
  }
  void stateTable() {
    QFETCH(bool, trayAvailable);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, hostLog);
    QFETCH(bool, hidden);
    Fixture f(trayAvailable);
    QCOMPARE(f.added, trayAvailable);
    for (const QString& step : steps) {
      if (step == QLatin1String("hide")) f.tray.Hide();
      if (step == QLatin1String("show")) f.tray.Show();
      if (step == QLatin1String("remove")) f.tray.Remove();
    }
    QCOMPARE(f.host->log, hostLog);
    QCOMPARE(f.tray.hidden(), hidden);
  }

  void activations_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<int>("popups");
    QTest::addColumn<QString>("triggered");
    QTest::newRow("right click, choose") << int(QSystemTrayIcon::Context) << "two" << 1 << "two";
    QTest::newRow("right click, dismiss") << int(QSystemTrayIcon::Context) << "" << 1 << "";
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << "" << 0 << "one";
    QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << "" << 0 << "";
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << "" << 0 << "";
  }
  void activations() {
    QFETCH(int, reason);
    QFETCH(QString, choose);
    QFETCH(int, popups);
    QFETCH(QString, triggered);
    Fixture f;
    QStringList seen;
    QObject::connect(&f.menu, &QMenu::triggered, [&seen](QAction* action) { seen << action->text(); });
    f.host->chooseText = choose;
    f.host->Activate(Reason(reason));
    // A double click acts only once the click is over: its action runs queued.
    if (reason == int(QSystemTrayIcon::DoubleClick)) QVERIFY(seen.isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(f.host->popups, popups);
    if (popups > 0) QCOMPARE(f.host->popupAt, QPoint(640, 470));
    QCOMPARE(seen, triggered.isEmpty() ? QStringList() : QStringList{triggered});
  }
};

QTEST_MAIN(TrayIconTest)
#include "tray_icon_test.moc"
