#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/inotify.h>
#include <unistd.h>

#include "app/engine_thread.h"
#include "app/settings_store.h"
#include "app/variables_file.h"
#include "page_fixture.h"
#include "platform/system_services.h"
#include "recording_services.h"
#include "sandbox.h"
#include "vell_engine.h"

using vell::ExpressionPage;
using vell::ReadSettingInt;
using vell::ReadSettingString;
using vell::SettingsLocation;
using vell::WriteSettingInt;
using vell::WriteSettingString;

namespace ids = vell::ids;

namespace {

const QString kExpressions = QStringLiteral("Expressions");

QString Sandbox(const QString& name) { return SandboxDir() + QLatin1Char('/') + name; }

// Counts how often a file is replaced by another renamed over it, the way
// the settings store writes it whole. Each replacement first creates its new
// file; watching for that keeps the kernel from merging replacements that
// follow one another into one event.
class ReplacementCounter {
 public:
  explicit ReplacementCounter(const QString& path)
      : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), name_(QFile::encodeName(QFileInfo(path).fileName())) {
    if (fd_ >= 0)
      inotify_add_watch(fd_, QFile::encodeName(QFileInfo(path).absolutePath()).constData(), IN_CREATE | IN_MOVED_TO);
  }
  ~ReplacementCounter() {
    if (fd_ >= 0) close(fd_);
  }
  ReplacementCounter(const ReplacementCounter&) = delete;
  ReplacementCounter& operator=(const ReplacementCounter&) = delete;

  // The replacements so far, or -1 when they cannot be watched.
  int Count() {
    if (fd_ < 0) return -1;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t length; (length = read(fd_, buffer, sizeof buffer)) > 0;) {
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if ((event->mask & IN_MOVED_TO) && event->len > 0 && name_ == event->name) ++count_;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return count_;
  }

 private:
  int fd_;
  QByteArray name_;
  int count_ = 0;
};

}  // namespace

class ExpressionPageTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(PrepareSandbox());
    services_ = std::make_unique<ScopedRecordingServices>();
  }

  void cleanup() { services_.reset(); }

  void evaluatesWithAndWithoutVariables_data() {
    QTest::addColumn<QString>("variables");
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("result");
    QTest::newRow("plain") << QString() << QStringLiteral("2+2") << QStringLiteral("4");
    QTest::newRow("degrees") << QString() << QStringLiteral("sin(30)") << QStringLiteral("0.5");
    QTest::newRow("sheet in any order") << QStringLiteral("b=a*2\na=5") << QStringLiteral("b+1")
                                        << QStringLiteral("11");
    QTest::newRow("blank sheet is no sheet")
        << QStringLiteral(" \n\t\n") << QStringLiteral("7/2") << QStringLiteral("3.5");
    QTest::newRow("division by zero") << QString() << QStringLiteral("1/0") << QStringLiteral("E");
    QTest::newRow("empty expression") << QString() << QString() << QStringLiteral("E");
    QTest::newRow("blank expression") << QStringLiteral("a=1") << QStringLiteral("   ") << QStringLiteral("E");
    QTest::newRow("unknown name") << QString() << QStringLiteral("nothing+1") << QStringLiteral("E");
    QTest::newRow("sqrt of negative") << QString() << QStringLiteral("sqrt(-4)") << QStringLiteral("E");
  }
  void evaluatesWithAndWithoutVariables() {
    QFETCH(QString, variables);
    QFETCH(QString, expression);
    QFETCH(QString, result);
    ExpressionPage page;
    Evaluate(page, variables, expression);
    QCOMPARE(page.resultBox()->text(), result);
    // Only a success is remembered.
    QCOMPARE(page.expressionBox()->count(), result == QLatin1String("E") ? 0 : 1);
    QCOMPARE(ReadSettingInt(kExpressions, QStringLiteral("Count"), 0), page.expressionBox()->count());
  }

  void reasonUnderTheResultSaysWhyItIsE() {
    ExpressionPage page;
    Evaluate(page, QStringLiteral("zz+1"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("E"));
    QCOMPARE(page.reasonLabel()->text(), QStringLiteral("unknown name ZZ"));
    QCOMPARE(page.reasonLabel()->accessibleName(), QStringLiteral("Reason"));
    QCOMPARE(page.reasonLabel()->accessibleDescription(), QStringLiteral("unknown name ZZ"));
    Evaluate(page, QStringLiteral("2+2"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("4"));
    QCOMPARE(page.reasonLabel()->text(), QString());
    QCOMPARE(page.reasonLabel()->accessibleDescription(), QString());
  }

  void expressionMatchesTheNamesOfAnOldSheet() {
    ExpressionPage page;
    page.variablesBox()->SetBytes("prix_\xE9t\xE9=5\r\nt=\"caf\xE9\"");
    Evaluate(page, QStringLiteral("prix_\u00E9t\u00E9*2"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("10"));
    Evaluate(page, QStringLiteral("t"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("CAF\u00E9"));
  }

  void sheetIsTrimmedAndReportShownWithCrLf() {
    ExpressionPage page;
    Evaluate(page, QStringLiteral("\n\na=1\nb=zz\n\n"), QStringLiteral("a+1"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("2"));
    QCOMPARE(page.variablesBox()->Bytes(), std::string("a=1\r\nb=zz"));
    QCOMPARE(page.detailsBox()->Bytes(), std::string("A = 1\r\nERR 1 : B=ZZ\r\n"));
    QCOMPARE(page.detailsBox()->toPlainText(), QStringLiteral("A = 1\nERR 1 : B=ZZ\n"));
  }

  void failureStillWritesTheReport() {
    ExpressionPage page;
    Evaluate(page, QStringLiteral("a=4"), QStringLiteral("a+"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("E"));
    QCOMPARE(page.detailsBox()->Bytes(), std::string("A = 4\r\n"));
    QCOMPARE(page.expressionBox()->count(), 0);
  }

  void engineStateSurvivesAnEmptyVariablesBox() {
    ExpressionPage page;
    Evaluate(page, QString(), QStringLiteral("a+1"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("E"));  // nothing resolved yet
    Evaluate(page, QStringLiteral("a=5"), QStringLiteral("a"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("5"));
    page.OnCommand(ids::kNewVariables);
    Evaluate(page, QStringLiteral("a+1"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("6"));
    QCOMPARE(page.detailsBox()->toPlainText(), QStringLiteral("A = 5\n"));
  }

  void historyKeepsTheLatestFirstAndOneEntryPerText() {
    ExpressionPage page;
    Evaluate(page, QStringLiteral("2+2"));
    Evaluate(page, QStringLiteral("2+2"));
    Evaluate(page, QStringLiteral("sin(45)"));
    Evaluate(page, QStringLiteral("  3*3  "));
    Evaluate(page, QStringLiteral("SIN(45)"));
    const QStringList expected{QStringLiteral("SIN(45)"), QStringLiteral("3*3"), QStringLiteral("2+2")};
    QCOMPARE(History(page), expected);
    QCOMPARE(ReadSettingInt(kExpressions, QStringLiteral("Count"), 0), 3);
    for (int i = 0; i < expected.size(); ++i)
      QCOMPARE(ReadSettingString(kExpressions, QString::number(i + 1), QString()), expected.at(i));
    // A second page starts with the same list.
    ExpressionPage again;
    QCOMPARE(History(again), expected);
  }

  void historyHoldsTwentyOneEntries() {
    WriteSettingInt(kExpressions, QStringLiteral("Count"), 21);
    for (int i = 1; i <= 21; ++i) WriteSettingString(kExpressions, QString::number(i), QStringLiteral("%1+0").arg(i));
    ExpressionPage page;
    QCOMPARE(page.expressionBox()->count(), 21);
    Evaluate(page, QStringLiteral("99"));
    QCOMPARE(page.expressionBox()->count(), 21);
    QCOMPARE(page.expressionBox()->itemText(0), QStringLiteral("99"));
    QCOMPARE(page.expressionBox()->itemText(20), QStringLiteral("20+0"));
    QCOMPARE(ReadSettingInt(kExpressions, QStringLiteral("Count"), 0), 21);
    QCOMPARE(ReadSettingString(kExpressions, QStringLiteral("21"), QString()), QStringLiteral("20+0"));
    // An entry evaluated again moves up and drops nothing else.
    Evaluate(page, QStringLiteral("5+0"));
    QCOMPARE(page.expressionBox()->count(), 21);
    QCOMPARE(page.expressionBox()->itemText(0), QStringLiteral("5+0"));
    QCOMPARE(page.expressionBox()->itemText(20), QStringLiteral("20+0"));
  }

  void historyCountIsReadWithinTheListsLength_data() {
    QTest::addColumn<QByteArray>("count");
    QTest::addColumn<int>("entries");
    QTest::newRow("largest integer") << QByteArray("2147483647") << 21;
    QTest::newRow("above the list's length") << QByteArray("22") << 21;
    QTest::newRow("within") << QByteArray("3") << 3;
    QTest::newRow("negative") << QByteArray("-2147483648") << 0;
    QTest::newRow("not a number") << QByteArray("many") << 0;
  }
  void historyCountIsReadWithinTheListsLength() {
    QFETCH(QByteArray, count);
    QFETCH(int, entries);
    QByteArray store = "[Expressions]\nCount=" + count + "\n";
    for (int i = 1; i <= 30; ++i) store += QByteArray::number(i) + '=' + QByteArray::number(i) + "+0\n";
    QVERIFY(WriteFile(SettingsLocation(), store));
    ExpressionPage page;
    QCOMPARE(page.expressionBox()->count(), entries);
    if (entries > 0) QCOMPARE(page.expressionBox()->itemText(entries - 1), QStringLiteral("%1+0").arg(entries));
  }

  void historyIsSavedInOneWrite() {
    WriteSettingInt(kExpressions, QStringLiteral("Count"), 21);
    for (int i = 1; i <= 21; ++i) WriteSettingString(kExpressions, QString::number(i), QStringLiteral("%1+0").arg(i));
    ExpressionPage page;
    ReplacementCounter writes(SettingsLocation());
    QCOMPARE(writes.Count(), 0);
    Evaluate(page, QStringLiteral("99"));
    QCOMPARE(writes.Count(), 1);
    QCOMPARE(ReadSettingString(kExpressions, QStringLiteral("1"), QString()), QStringLiteral("99"));
    QCOMPARE(ReadSettingString(kExpressions, QStringLiteral("21"), QString()), QStringLiteral("20+0"));
  }

  void historySkipsMissingEntries() {
    WriteSettingInt(kExpressions, QStringLiteral("Count"), 5);
    WriteSettingString(kExpressions, QStringLiteral("1"), QStringLiteral("1+1"));
    WriteSettingString(kExpressions, QStringLiteral("3"), QString());
    WriteSettingString(kExpressions, QStringLiteral("4"), QStringLiteral("4+4"));
    ExpressionPage page;
    QCOMPARE(History(page), (QStringList{QStringLiteral("1+1"), QStringLiteral("4+4")}));
  }

  void expressionBoxShowsTheFirstEntryBeginningWithTheText_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("failed prefix") << QStringLiteral("sin(") << QStringLiteral("sin(45)");
    QTest::newRow("other case") << QStringLiteral("SIN(") << QStringLiteral("sin(45)");
    QTest::newRow("no entry begins with it") << QStringLiteral("cos(") << QStringLiteral("cos(");
  }
  void expressionBoxShowsTheFirstEntryBeginningWithTheText() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ExpressionPage page;
    Evaluate(page, QStringLiteral("sin(45)"));
    Evaluate(page, typed);
    QCOMPARE(page.resultBox()->text(), QStringLiteral("E"));
    QCOMPARE(page.expressionBox()->currentText(), shown);
    QCOMPARE(page.expressionBox()->count(), 1);
  }

  void detailsViewSwapsTheBoxes() {
    ExpressionPage page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    Evaluate(page, QStringLiteral("a=2"), QStringLiteral("a*3"));
    const auto normal = [&](bool on) {
      QCOMPARE(page.expressionBox()->isVisible(), on);
      QCOMPARE(page.resultBox()->isVisible(), on);
      QCOMPARE(page.expressionFrame()->isVisible(), on);
      QCOMPARE(page.detailsBox()->isVisible(), !on);
    };
    normal(true);
    auto* details = qobject_cast<QCheckBox*>(page.ControlById(ids::kDetailsCheck));
    QVERIFY(details && !details->isChecked());
    details->click();
    normal(false);
    // New in the Details view empties only the Variables box.
    page.ControlById(ids::kNewVariables)->setFocus();
    qobject_cast<QAbstractButton*>(page.ControlById(ids::kNewVariables))->click();
    QCOMPARE(page.variablesBox()->Bytes(), std::string());
    QCOMPARE(page.detailsBox()->toPlainText(), QStringLiteral("A = 2\n"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("6"));
    // Ctrl+Z, with the focus still on New, brings the sheet back.
    QTest::keyClick(page.ControlById(ids::kNewVariables), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(page.variablesBox()->Bytes(), std::string("a=2"));
    details->click();
    normal(true);
  }

  void extraRoomGoesToTheVariablesAndDetailsBoxes() {
    ExpressionPage page;
    page.show();
    const QSize least = page.minimumSize();
    const auto at = [&](int id) { return page.ControlById(id)->geometry(); };
    const QRect variables = at(ids::kVariablesBox), result = at(ids::kResultBox), evaluate = at(ids::kEvaluate),
                newButton = at(ids::kNewVariables), details = at(ids::kDetailsBox);
    page.resize(least + QSize(100, 60));
    QCOMPARE(at(ids::kVariablesBox), variables.adjusted(0, 0, 100, 60));
    QCOMPARE(at(ids::kResultBox), result.adjusted(0, 60, 100, 60));
    QCOMPARE(at(ids::kEvaluate), evaluate.translated(100, 60));
    QCOMPARE(at(ids::kNewVariables), newButton.translated(0, 60));
    // The Details view shares the height between its two boxes.
    qobject_cast<QAbstractButton*>(page.ControlById(ids::kDetailsCheck))->click();
    QCOMPARE(at(ids::kVariablesBox), variables.adjusted(0, 0, 100, 30));
    QCOMPARE(at(ids::kDetailsBox), details.adjusted(0, 30, 100, 60));
  }

  void longWorkShowsABusyCursorAndKeepsTimersRunning_data() {
    QTest::addColumn<int>("workMs");
    QTest::addColumn<bool>("busy");
    QTest::newRow("quick") << 5 << false;
    QTest::newRow("long") << 400 << true;
  }
  void longWorkShowsABusyCursorAndKeepsTimersRunning() {
    QFETCH(int, workMs);
    QFETCH(bool, busy);
    bool sawBusy = false;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
      const QCursor* cursor = QApplication::overrideCursor();
      sawBusy = sawBusy || (cursor && cursor->shape() == Qt::WaitCursor);
    });
    probe.start(20);
    vell::RunWithBusyCursor([&] { QThread::msleep(static_cast<unsigned long>(workMs)); });
    QCOMPARE(sawBusy, busy);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void tipsChoiceIsStored() {
    {
      ExpressionPage page;
      auto* tips = qobject_cast<QCheckBox*>(page.ControlById(ids::kTipsCheck));
      QVERIFY(tips->isChecked());
      tips->click();
      QCOMPARE(ReadSettingInt(QStringLiteral("Settings"), QStringLiteral("Tips"), 1), 0);
    }
    ExpressionPage page;
    QVERIFY(!qobject_cast<QCheckBox*>(page.ControlById(ids::kTipsCheck))->isChecked());
  }

  void balloonShowsOnlyWhileTipsAreOnAndTheExpressionBoxIsVisible_data() {
    QTest::addColumn<bool>("tips");
    QTest::addColumn<bool>("details");
    QTest::addColumn<bool>("shown");
    QTest::newRow("tips on") << true << false << true;
    QTest::newRow("tips off") << false << false << false;
    QTest::newRow("details view") << true << true << false;
  }
  void balloonShowsOnlyWhileTipsAreOnAndTheExpressionBoxIsVisible() {
    QFETCH(bool, tips);
    QFETCH(bool, details);
    QFETCH(bool, shown);
    ExpressionPage page;
    page.show();
    page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    page.variablesBox()->setFocus();
    if (!tips) qobject_cast<QCheckBox*>(page.ControlById(ids::kTipsCheck))->click();
    if (details) qobject_cast<QCheckBox*>(page.ControlById(ids::kDetailsCheck))->click();
    // The mouse moves over the inner part of the variables box.
    QWidget* inner = page.variablesBox()->viewport();
    const QPoint local(10, 10);
    QMouseEvent move(QEvent::MouseMove, local, inner->mapToGlobal(local), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(inner, &move);
    QCOMPARE(page.tipBalloon().IsVisible(), shown);
    if (shown) {
      QCOMPARE(page.tipBalloon().title(), QStringLiteral("Variables"));
      QVERIFY(page.tipBalloon().text().startsWith(QStringLiteral("Please type in the variables here.")));
      // A key press hides it again.
      QTest::keyClick(page.variablesBox(), Qt::Key_A);
      QVERIFY(!page.tipBalloon().IsVisible());
    }
  }

  void openAndSaveKeepTheBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("crlf") << QByteArray("a=1\r\nb=a*2\r\n");
    QTest::newRow("lf") << QByteArray("a=1\nb=a*2");
    QTest::newRow("lone cr") << QByteArray("a=1\rb=2");
    QTest::newRow("not utf-8") << QByteArray("caf\xE9=1\r\nx=\xFF\xFE");
    QTest::newRow("escape range") << QByteArray("x=\"\xEF\x9C\x80\"");
    QTest::newRow("utf-8") << QByteArray(
        "pre\xC3\xA7o=\xC2\xA0"
        "2");
  }
  void openAndSaveKeepTheBytes() {
    QFETCH(QByteArray, bytes);
    const QString source = Sandbox(QStringLiteral("data/in.txt"));
    const QString copy = Sandbox(QStringLiteral("data/out.txt"));
    QVERIFY(WriteFile(source, bytes));
    ScriptedChooser chooser;
    chooser.answers = QStringList{source, copy};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.variablesBox()->setPlainText(QStringLiteral("old text"));
    page.OnCommand(ids::kOpenVariables);
    QCOMPARE(page.variablesBox()->Bytes(), bytes.toStdString());
    page.OnCommand(ids::kSaveVariables);
    QCOMPARE(ReadFile(copy), bytes);
    QVERIFY(services_->messages.isEmpty());
  }

  void openShowsTheTextBeforeANulByteAndSaysSo() {
    const QString path = Sandbox(QStringLiteral("nul.txt"));
    QVERIFY(WriteFile(path, QByteArray("a=1\r\n\0b=2", 10)));
    ScriptedChooser chooser;
    chooser.answers = QStringList{path};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.OnCommand(ids::kOpenVariables);
    QCOMPARE(page.variablesBox()->Bytes(), std::string("a=1\r\n"));
    QCOMPARE(services_->messages.size(), 1);
    QVERIFY(services_->messages.first().second.contains(path));
    QVERIFY(services_->messages.first().second.contains(QStringLiteral("NUL byte at offset 5")));
  }

  void openRefusesWhatIsNotARegularFile() {
    // A FIFO without a writer would block the window for good.
    const QString fifo = Sandbox(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ScriptedChooser chooser;
    chooser.answers = QStringList{fifo, SandboxDir()};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.variablesBox()->setPlainText(QStringLiteral("kept"));
    page.OnCommand(ids::kOpenVariables);
    page.OnCommand(ids::kOpenVariables);
    QCOMPARE(page.variablesBox()->toPlainText(), QStringLiteral("kept"));
    QCOMPARE(services_->messages.size(), 2);
    QVERIFY(services_->messages.at(0).second.contains(fifo));
    QVERIFY(services_->messages.at(1).second.contains(QStringLiteral("not a regular file")));
  }

  void openRefusesAFileOver16MiB() {
    const QString path = Sandbox(QStringLiteral("big.txt"));
    QVERIFY(WriteFile(path, QByteArray()));
    QVERIFY(QFile::resize(path, vell::kMaxVariablesFileBytes + 1));
    ScriptedChooser chooser;
    chooser.answers = QStringList{path};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.variablesBox()->setPlainText(QStringLiteral("kept"));
    page.OnCommand(ids::kOpenVariables);
    QCOMPARE(page.variablesBox()->toPlainText(), QStringLiteral("kept"));
    QCOMPARE(services_->messages.size(), 1);
    QVERIFY(services_->messages.first().second.contains(path));
  }

  void editedTextIsSavedWithCrLf() {
    const QString path = Sandbox(QStringLiteral("typed.txt"));
    ScriptedChooser chooser;
    chooser.answers = QStringList{path};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.variablesBox()->setPlainText(QStringLiteral("x=1\ny=\u00E9"));
    page.OnCommand(ids::kSaveVariables);
    QCOMPARE(ReadFile(path), QByteArray("x=1\r\ny=\xC3\xA9"));
  }

  void failedSaveSaysWhyAndKeepsWhatWasThere() {
    const QString path = Sandbox(QStringLiteral("folder.txt"));
    QVERIFY(QDir().mkpath(path + QStringLiteral("/inner")));
    ScriptedChooser chooser;
    chooser.answers = QStringList{path, Sandbox(QStringLiteral("no/such/folder/x.txt"))};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.variablesBox()->setPlainText(QStringLiteral("a=1"));
    page.OnCommand(ids::kSaveVariables);
    QVERIFY(QFileInfo(path + QStringLiteral("/inner")).isDir());
    page.OnCommand(ids::kSaveVariables);
    QCOMPARE(services_->messages.size(), 2);
    QVERIFY(services_->messages.at(0).second.contains(path));
    QVERIFY(services_->messages.at(0).second.contains(QLatin1Char('\n')));  // and the reason
    QVERIFY(services_->messages.at(1).second.contains(QStringLiteral("no/such/folder/x.txt")));
    QCOMPARE(services_->messages.at(0).first, QStringLiteral("expression_page_test"));
  }

  void saveWritesInPlaceBesideAFolderNobodyMayAddTo() {
    const QString folder = Sandbox(QStringLiteral("shared"));
    const QString path = folder + QStringLiteral("/sheet.txt");
    QVERIFY(WriteFile(path, QByteArray("old text")));
    // The superuser ignores permissions, but not the immutable flag.
    const bool root = ::geteuid() == 0;
    const bool locked = root ? QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) == 0
                             : QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!locked) QSKIP("cannot make a folder that takes no new files here");
    ScriptedChooser chooser;
    chooser.answers = QStringList{path};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.variablesBox()->setPlainText(QStringLiteral("a=1"));
    page.OnCommand(ids::kSaveVariables);
    const QByteArray saved = ReadFile(path);
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    if (root) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY2(services_->messages.isEmpty(), qPrintable(services_->messages.value(0).second));
    QCOMPARE(saved, QByteArray("a=1"));
    QCOMPARE(files, QStringList{QStringLiteral("sheet.txt")});
  }

  void failedWriteGivesTheSystemsReasonAndKeepsTheOldFile() {
    // A file size limit fails the write the way a full disk does.
    const QString path = Sandbox(QStringLiteral("limited.txt"));
    QVERIFY(WriteFile(path, QByteArray("old text")));
    ScriptedChooser chooser;
    chooser.answers = QStringList{path};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.variablesBox()->setPlainText(QString(8192, QLatin1Char('x')));
    struct rlimit old {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    page.OnCommand(ids::kSaveVariables);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldSignal);
    QCOMPARE(ReadFile(path), QByteArray("old text"));
    QCOMPARE(services_->messages.size(), 1);
    QVERIFY2(services_->messages.first().second.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))),
             qPrintable(services_->messages.first().second));
  }

  void saveReplacesAnExistingFile() {
    const QString path = Sandbox(QStringLiteral("old.txt"));
    QVERIFY(WriteFile(path, QByteArray("a much longer old text that must go")));
    ScriptedChooser chooser;
    chooser.answers = QStringList{path};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.OnCommand(ids::kSaveVariables);
    QCOMPARE(ReadFile(path), QByteArray());
  }

  void fileDialogsStartWhereTheLastOneEnded() {
    ScriptedChooser chooser;
    const QString chosen = Sandbox(QStringLiteral("data/set1.txt"));
    QVERIFY(WriteFile(chosen, QByteArray("a=1")));
    chooser.answers = QStringList{QString(), chosen, Sandbox(QStringLiteral("data/set2.txt"))};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.OnCommand(ids::kOpenVariables);  // cancelled: nothing stored
    QCOMPARE(ReadSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QStringLiteral("none")),
             QStringLiteral("none"));
    page.OnCommand(ids::kOpenVariables);
    page.OnCommand(ids::kSaveVariables);
    QCOMPARE(chooser.requests.size(), 3);
    const QString pattern = Sandbox(QStringLiteral("data/*.TXT"));
    QCOMPARE(ReadSettingString(QStringLiteral("Path"), QStringLiteral("TXT"), QString()), pattern);
    QCOMPARE(chooser.requests.at(0).initialName, QDir::homePath() + QStringLiteral("/*.txt"));
    QCOMPARE(chooser.requests.at(1).initialName, QDir::homePath() + QStringLiteral("/*.txt"));
    QCOMPARE(chooser.requests.at(2).initialName, pattern);
    QCOMPARE(chooser.requests.at(0).mode, vell::FileChooser::Mode::kOpen);
    QCOMPARE(chooser.requests.at(2).mode, vell::FileChooser::Mode::kSave);
    QCOMPARE(chooser.requests.at(2).filter, QStringLiteral("TXT Files (*.txt);;All Files (*)"));
    QCOMPARE(chooser.requests.at(2).defaultExtension, QStringLiteral("TXT"));
  }

  void openOfAMissingFileChangesNothing() {
    ScriptedChooser chooser;
    chooser.answers = QStringList{Sandbox(QStringLiteral("gone.txt"))};
    ExpressionPage page;
    page.SetFileChooser(&chooser);
    page.variablesBox()->setPlainText(QStringLiteral("kept"));
    page.OnCommand(ids::kOpenVariables);
    QCOMPARE(page.variablesBox()->toPlainText(), QStringLiteral("kept"));
    QVERIFY(services_->messages.isEmpty());
  }

 private:
  std::unique_ptr<ScopedRecordingServices> services_;
};

QTEST_MAIN(ExpressionPageTest)
#include "expression_page_test.moc"
