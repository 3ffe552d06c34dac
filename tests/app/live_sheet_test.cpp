// The values beside the Variables box: what each line gives, against the
// engine's own report, and how the page keeps them apart from Evaluate.
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>
#include <string>

#include "app/line_notes.h"
#include "app/live_sheet.h"
#include "page_fixture.h"
#include "recording_services.h"
#include "sandbox.h"
#include "vell_engine.h"

namespace {

// "line:text" for a value, "line!reason" for a line that fails.
QStringList Shown(const std::vector<vell::LiveLine>& lines) {
  QStringList shown;
  for (const vell::LiveLine& line : lines)
    shown << QString::number(line.line) + (line.failed ? QLatin1Char('!') : QLatin1Char(':')) +
                 QString::fromStdString(line.text);
  return shown;
}

}  // namespace

class LiveSheetTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(PrepareSandbox()); }

  void eachDefinitionLineShowsItsValueOrWhyItFails_data() {
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("later names, display form") << QByteArray("y=x*3+z\r\nx=2\r\nz=1.5\r\nt=\"abc\"\r\nr=1/3")
                                               << QStringList{"0:7.5", "1:2", "2:1.5", "3:ABC", "4:0.333333"};
    // Blank lines, comments and lines without "=" show nothing; the box's
    // line numbers count every line, the empty ones too.
    QTest::newRow("comments and blanks") << QByteArray("\r\n  ;x=1\n;c\r?d=1\r\n\r\nv=2\r\n \t\r\nplain\r\n  ;y=3")
                                         << QStringList{"5:2", "8:3"};
    QTest::newRow("duplicate and cycle") << QByteArray("a=1\na=2\nb=c\nc=b")
                                         << QStringList{"0:1", "1!already defined: A", "2!unknown name C",
                                                        "3!unknown name B"};
    QTest::newRow("failures say why") << QByteArray("q=1/0\ns=SQRT(-4)\nu=(1+2\nn=p!1a\np!1a=3\nm=P!A1*2")
                                      << QStringList{"0!division by zero in 1/0",
                                                     "1!square root of a negative number in SQRT(-4)",
                                                     "2!missing closing parenthesis in (1",
                                                     "3!unknown name P!1A",
                                                     "4:3",
                                                     "5:6"};
    QTest::newRow("value E stored with success") << QByteArray("l=LOG(0)") << QStringList{"0:E"};
    QTest::newRow("nothing to resolve") << QByteArray(" \r\n\t") << QStringList{};
  }
  void eachDefinitionLineShowsItsValueOrWhyItFails() {
    QFETCH(QByteArray, sheet);
    QFETCH(QStringList, shown);
    vell::Engine engine;
    QCOMPARE(Shown(vell::ResolveLiveLines(engine, sheet.toStdString())), shown);
  }

  void longSheetAgreesWithTheReport() {
    // Each line uses the next; every 97th a name defined nowhere, so the
    // lines before it fail too.
    std::string sheet;
    QStringList stored;
    for (int i = 1; i <= 10001; ++i) {
      const std::string n = std::to_string(i);
      stored << QString::fromStdString("V" + n + "=" +
                                       (i == 10001    ? "0.5"
                                        : i % 97 == 0 ? "NOWHERE"
                                                      : "V" + std::to_string(i + 1) + "+" + n + "/7"));
      sheet += stored.last().toStdString() + "\r\n";
    }
    vell::Engine live, evaluate;
    std::string out, report;
    evaluate.ResolveVariables(sheet, "1", out);
    evaluate.WriteDetailsReport(report);
    // The report written again from the live lines.
    QString rewritten;
    int errors = 0;
    for (const vell::LiveLine& line : vell::ResolveLiveLines(live, sheet))
      rewritten += (line.failed ? QStringLiteral("ERR %1 : ").arg(++errors) + stored.value(line.line)
                                : QStringLiteral("V%1 = ").arg(line.line + 1) + QString::fromStdString(line.text)) +
                   QLatin1Char('\n');
    QCOMPARE(rewritten, QString::fromStdString(report));
    QVERIFY(errors > 100 && errors < 10001);
  }

  void pageShowsValuesAfterAPauseWithoutTouchingEvaluate() {
    ScopedRecordingServices services;
    ExpressionPage page;
    page.show();
    QSignalSpy resolved(&page.liveSheet(), &vell::LiveSheet::resolved);
    page.variablesBox()->setPlainText(QStringLiteral("a=5\nb=zz"));
    QVERIFY(resolved.wait(5000));
    const vell::LineNotes& notes = *page.lineNotes();
    QCOMPARE(notes.NoteAt(0), QStringLiteral("5"));
    QCOMPARE(notes.NoteAt(1), QStringLiteral("ERR: unknown name ZZ"));
    page.variablesBox()->moveCursor(QTextCursor::End);  // a screen reader reads the cursor's line
    QCOMPARE(notes.accessibleDescription(), QStringLiteral("ERR: unknown name ZZ"));
    // The column sits inside the box, right of the text, and takes its room.
    QVERIFY(notes.isVisible());
    QVERIFY(page.variablesBox()->rect().contains(notes.geometry()));
    QVERIFY(notes.geometry().left() > page.variablesBox()->viewport()->geometry().right());
    // Evaluate's engine never saw the sheet: with an empty box, A is unknown.
    page.variablesBox()->setPlainText(QString());
    Evaluate(page, QStringLiteral("a"));
    QCOMPARE(page.resultBox()->text(), QStringLiteral("E"));
    QVERIFY(resolved.wait(5000));
    QVERIFY(!notes.isVisible());
  }
};

QTEST_MAIN(LiveSheetTest)
#include "live_sheet_test.moc"
