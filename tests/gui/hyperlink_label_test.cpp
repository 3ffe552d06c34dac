#include <QDir>
#include <QFile>
#include <QtTest>

#include "components/hyperlink_label.h"
#include "recording_services.h"
#include "sandbox.h"

namespace {

const QString kText = QStringLiteral("Want more free software like this? Visit QUORVANT now!!!");
const QString kAddress = QStringLiteral("https://www.example.com/");

// A parent with one link placed like a dialog's control.
struct Dialog {
  explicit Dialog(const QString& text = kText, Qt::Alignment align = Qt::AlignCenter) {
    parent.resize(400, 200);
    link = new vell::HyperlinkLabel(text, &parent);
    QFont font = link->font();
    font.setPixelSize(13);
    link->setFont(font);
    link->setAlignment(align);
    link->setGeometry(20, 100, 360, 16);
  }
  QWidget parent;
  vell::HyperlinkLabel* link;
};

// Makes "web.desktop" with this [Desktop Entry] body the text/html handler
// that services name.
void InstallHtmlHandler(RecordingServices& services, const QByteArray& body) {
  const QString apps = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
  QVERIFY(QDir().mkpath(apps));
  QFile entry(apps + QStringLiteral("/web.desktop"));
  QVERIFY(entry.open(QIODevice::WriteOnly));
  entry.write("[Desktop Entry]\nType=Application\n" + body);
  services.defaultApplication = QStringLiteral("web.desktop");
}

void WriteFile(const QString& path, const QByteArray& bytes, QFile::Permissions permissions) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
  file.close();
  QVERIFY(file.setPermissions(permissions));
}

// Clicks a link to address shown as *visited; *visited says how it shows after.
void ClickLink(const QString& address, bool* visited) {
  Dialog d;
  d.link->Attach();
  d.link->SetTarget(address);
  d.link->MarkVisited(*visited);
  d.parent.show();
  QVERIFY(QTest::qWaitForWindowExposed(&d.parent));
  QTest::mouseClick(d.link, Qt::LeftButton, Qt::NoModifier, d.link->rect().center());
  *visited = d.link->visited();
}

}  // namespace

class HyperlinkLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenNotes(); }
  void init() { QVERIFY(PrepareSandbox()); }

  void attachTakesTextAndTarget() {
    Dialog withText;
    withText.link->Attach();
    QCOMPARE(withText.link->target(), kText);
    QCOMPARE(withText.link->toolTip(), kText);
    QVERIFY(withText.link->font().underline());
    QCOMPARE(withText.link->cursor().shape(), Qt::PointingHandCursor);
    withText.link->SetTarget(kAddress);
    QCOMPARE(withText.link->toolTip(), kAddress);
    QCOMPARE(withText.link->text(), kText);

    Dialog empty{QString()};
    empty.link->SetTarget(kAddress);  // before attaching: only remembered
    QVERIFY(empty.link->toolTip().isEmpty());
    empty.link->Attach();
    QCOMPARE(empty.link->text(), kAddress);
    QCOMPARE(empty.link->toolTip(), kAddress);

    Dialog plain;
    plain.link->SetUnderline(false);
    plain.link->Attach();
    QVERIFY(!plain.link->font().underline());
  }

  void fitToText_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QRect>("start");
    QTest::addColumn<QString>("expected");  // which edges stay: see below
    QTest::newRow("top left") << int(Qt::AlignLeft | Qt::AlignTop) << QRect(20, 100, 360, 16) << "left-top";
    QTest::newRow("centred both ways") << int(Qt::AlignCenter) << QRect(20, 100, 360, 40) << "centre-centre";
    QTest::newRow("centred, odd room") << int(Qt::AlignCenter) << QRect(20, 100, 361, 41) << "centre-centre";
    QTest::newRow("centred, text taller") << int(Qt::AlignCenter) << QRect(20, 100, 360, 4) << "centre-centre";
    QTest::newRow("right") << int(Qt::AlignRight | Qt::AlignTop) << QRect(20, 100, 360, 30) << "right-top";
    QTest::newRow("vertical centre only")
        << int(Qt::AlignLeft | Qt::AlignVCenter) << QRect(20, 100, 360, 30) << "left-centre";
  }
  void fitToText() {
    QFETCH(int, alignment);
    QFETCH(QRect, start);
    QFETCH(QString, expected);
    Dialog d(QStringLiteral("Visit us"), Qt::Alignment(alignment));
    d.link->setGeometry(start);
    d.link->Attach();
    QFontMetrics metrics(d.link->font());
    const int w = metrics.horizontalAdvance(QStringLiteral("Visit us")), h = metrics.height();
    // Each centred edge moves in by half the spare room, rounded toward zero.
    const int dx = (start.width() - w) / 2, dy = (start.height() - h) / 2;
    QRect want;
    if (expected.startsWith(QLatin1String("left"))) want.setCoords(start.left(), 0, start.left() + w - 1, 0);
    if (expected.startsWith(QLatin1String("right"))) want.setCoords(start.right() + 1 - w, 0, start.right(), 0);
    if (expected.startsWith(QLatin1String("centre"))) want.setCoords(start.left() + dx, 0, start.right() - dx, 0);
    if (expected.endsWith(QLatin1String("top"))) {
      want.setTop(start.top());
      want.setBottom(start.top() + h - 1);
    } else {
      want.setTop(start.top() + dy);
      want.setBottom(start.bottom() - dy);
    }
    QCOMPARE(d.link->geometry(), want);
  }

  void fitCanBeTurnedOff() {
    Dialog d;
    d.link->SetSizeToText(false);
    d.link->Attach();
    d.link->SetTarget(kAddress);
    QCOMPARE(d.link->geometry(), QRect(20, 100, 360, 16));
  }

  void coloursByState() {
    Dialog d;
    d.link->Attach();
    QCOMPARE(d.link->linkColour(), QColor(0, 0, 238));
    QCOMPARE(d.link->visitedColour(), QColor(85, 26, 139));
    QCOMPARE(d.link->hoverColour(), d.link->palette().color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(d.link->CurrentColour(), QColor(0, 0, 238));
    d.parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d.parent));
    QTest::mouseMove(d.link, d.link->rect().center());
    QTRY_VERIFY(d.link->hovering());
    QCOMPARE(d.link->CurrentColour(), d.link->hoverColour());
    d.link->MarkVisited(true);
    QCOMPARE(d.link->CurrentColour(), d.link->hoverColour());  // hover wins
    QTest::mouseMove(&d.parent, QPoint(5, 5));
    QTRY_VERIFY(!d.link->hovering());
    QCOMPARE(d.link->CurrentColour(), QColor(85, 26, 139));
    // The text is painted in that colour.
    const QImage image = d.link->grab().toImage();
    bool found = false;
    for (int y = 0; y < image.height() && !found; ++y)
      for (int x = 0; x < image.width() && !found; ++x) found = QColor(image.pixel(x, y)) == QColor(85, 26, 139);
    QVERIFY(found);
  }

  void clickOpensTheTarget() {
    RecordingServices services;
    vell::platform::ScopedServices scope(services);
    bool visited = false;
    ClickLink(kAddress, &visited);
    QCOMPARE(services.openedUrls, QList<QUrl>{QUrl(kAddress)});
    QVERIFY(visited);
    QCOMPARE(services.beeps, 0);
    QVERIFY(services.messages.isEmpty());
  }

  void fallbackToTheHtmlHandler() {
    RecordingServices services;
    services.openUrlResult = false;
    InstallHtmlHandler(services, "Name=Web\nExec=web-browser --new-tab %u\n");
    vell::platform::ScopedServices scope(services);
    const QString address = QStringLiteral("www.example.com; rm -rf ~");
    bool visited = false;
    ClickLink(address, &visited);
    QVERIFY(visited);
    QCOMPARE(services.launched, (QList<QStringList>{{"web-browser", "--new-tab", address}}));
    QVERIFY(services.messages.isEmpty());
  }

  // Every reason a failed open can have, each reached the way a user meets
  // it: the link beeps, shows itself unvisited and says why.
  void aFailedOpenSaysWhy_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("browser");  // the text/html handler's Exec line; empty: none
    QTest::addColumn<QString>("reason");
    const QString dir = SandboxDir();
    QTest::newRow("desktop refuses, no browser")
        << kAddress << QByteArray() << "There is no application associated\nwith the given filename extension.";
    QTest::newRow("missing file") << dir + "/missing.html" << QByteArray() << "The specified file was not found.";
    QTest::newRow("missing folder") << dir + "/gone/page.html" << QByteArray() << "The specified path was not found.";
    QTest::newRow("browser not executable")
        << kAddress << (dir + "/plain %u").toUtf8() << "The operating system denied\naccess to the specified file.";
    QTest::newRow("browser no program") << kAddress << (dir + "/garbage %u").toUtf8()
                                        << "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
  }
  void aFailedOpenSaysWhy() {
    QFETCH(QString, address);
    QFETCH(QByteArray, browser);
    QFETCH(QString, reason);
    WriteFile(SandboxDir() + QStringLiteral("/plain"), "data", QFile::ReadOwner | QFile::WriteOwner);
    WriteFile(SandboxDir() + QStringLiteral("/garbage"),
              QByteArray("\x7f"
                         "ELF\x02\x01",
                         6) +
                  QByteArray(64, '\0'),
              QFile::ReadOwner | QFile::ExeOwner);
    RecordingServices services;
    services.openUrlResult = false;
    services.realStart = true;
    if (!browser.isEmpty()) InstallHtmlHandler(services, "Exec=" + browser + "\n");
    vell::platform::ScopedServices scope(services);
    bool visited = true;
    ClickLink(address, &visited);
    QVERIFY(!visited);
    QCOMPARE(services.beeps, 1);
    QCOMPARE(services.queriedTypes, QStringList{QStringLiteral("text/html")});
    QCOMPARE(services.launched.size(), browser.isEmpty() ? 0 : 1);
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.messages.first().second, QStringLiteral("Unable to open hyperlink:\n\n") + reason);
  }

  void theOpenersExitStatusDecides_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("htmlHandler");
    QTest::addColumn<bool>("opened");
    QTest::newRow("opened") << 0 << true << true;
    QTest::newRow("no handler for the scheme: the browser instead") << 3 << true << true;
    QTest::newRow("no handler for the scheme, no browser") << 3 << false << false;
    QTest::newRow("the handler failed: the browser instead") << 4 << true << true;
  }
  void theOpenersExitStatusDecides() {
    QFETCH(int, status);
    QFETCH(bool, htmlHandler);
    QFETCH(bool, opened);
    const QString opener = InstallFakeOpener("exit " + QByteArray::number(status));
    QVERIFY(!opener.isEmpty());
    RecordingServices services;
    services.realOpenUrl = true;
    if (htmlHandler) InstallHtmlHandler(services, "Exec=web-browser %u\n");
    vell::platform::ScopedServices scope(services);
    bool visited = false;
    ClickLink(kAddress, &visited);
    QCOMPARE(visited, opened);
    QFile arguments(opener + QStringLiteral(".args"));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(arguments.readAll(), kAddress.toUtf8() + "\n");
    const bool fallback = status != 0;
    QCOMPARE(services.queriedTypes.size(), fallback ? 1 : 0);
    QCOMPARE(services.launched.size(), fallback && htmlHandler ? 1 : 0);
    QCOMPARE(services.messages.size(), opened ? 0 : 1);
    QCOMPARE(services.beeps, opened ? 0 : 1);
  }

  void aHostileHandlerEntryRunsNothing() {
    QVERIFY(!InstallFakeOpener("exit 3").isEmpty());
    const QString pwned = SandboxDir() + QStringLiteral("/pwned");
    RecordingServices services;
    services.realOpenUrl = true;
    services.realStart = true;
    InstallHtmlHandler(services, "Name=Evil;$(touch " + pwned.toUtf8() + ")\nExec=sh -c \"echo %u %c\"\n");
    vell::platform::ScopedServices scope(services);
    bool visited = true;
    ClickLink(kAddress, &visited);
    QTest::qWait(500);
    QVERIFY(!QFile::exists(pwned));
    QVERIFY(!visited);
    QVERIFY(services.launched.isEmpty());
    QCOMPARE(services.messages.size(), 1);
    QVERIFY(services.messages.first().second.endsWith(QLatin1String("with the given filename extension.")));
  }
};

QTEST_MAIN(HyperlinkLabelTest)
#include "hyperlink_label_test.moc"
