#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "components/hyperlink_label.h"
#include "recording_services.h"
#include "sandbox.h"

namespace {

using vell::platform::OpenResult;

const QString kText = QStringLiteral("Want more free software like this? Visit QUORVANT now!!!");
const QString kAddress = QStringLiteral("https://www.example.com/");

// A dialog with a default button and one link placed like a dialog's control.
struct Dialog {
  explicit Dialog(const QString& text = kText, Qt::Alignment align = Qt::AlignCenter) {
    parent.resize(400, 200);
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, &parent, &QDialog::accept);
    QFont font = link->font();
    font.setPixelSize(13);
    link->setFont(font);
    link->setText(text);
    link->setAlignment(align);
    link->setGeometry(20, 100, 360, 16);
  }
  QDialog parent;
  QPushButton* button = new QPushButton(QStringLiteral("OK"), &parent);
  vell::HyperlinkLabel* link = new vell::HyperlinkLabel(QString(), &parent);
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

// The contrast ratio of two colours, 1 to 21, as accessibility guidelines define it.
double Contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

void AddRow(const char* name, int key, bool desktop, const QByteArray& handler, OpenResult start, const char* reason) {
  QTest::newRow(name) << key << desktop << handler << start << QString::fromLatin1(reason);
}

// Opens a link to address shown as *visited with a click (key 0) or a key
// once Tab has brought the focus to it; *visited says how it shows after.
// The dialog's default button must not take the key and close the dialog.
void OpenLink(const QString& address, bool* visited, int key = 0) {
  Dialog d;
  d.link->Attach();
  d.link->SetTarget(address);
  d.link->MarkVisited(*visited);
  d.parent.show();
  QVERIFY(QTest::qWaitForWindowActive(&d.parent));
  if (key == 0) {
    QTest::mouseClick(d.link, Qt::LeftButton, Qt::NoModifier, d.link->rect().center());
  } else {
    d.button->setFocus();
    QTest::keyClick(d.button, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), d.link);
    QTest::keyClick(d.link, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
  }
  QVERIFY(d.parent.isVisible());
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
    QCOMPARE(std::make_tuple(withText.link->target(), withText.link->toolTip(), withText.link->font().underline()),
             std::make_tuple(kText, kText, true));
    QCOMPARE(withText.link->cursor().shape(), Qt::PointingHandCursor);
    withText.link->SetTarget(kAddress);
    QCOMPARE(withText.link->toolTip(), kAddress);
    QCOMPARE(withText.link->text(), kText);

    Dialog empty{QString()};
    empty.link->SetTarget(kAddress);  // before attaching: only remembered
    QVERIFY(empty.link->toolTip().isEmpty());
    empty.link->Attach();
    QCOMPARE(std::make_pair(empty.link->text(), empty.link->toolTip()), std::make_pair(kAddress, kAddress));

    Dialog plain;
    plain.link->SetUnderline(false);
    plain.link->Attach();
    QVERIFY(!plain.link->font().underline());
  }

  void fitToText_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QRect>("start");
    // The edges kept across (Left, Right, Centre) and down (Top, Centre); "--": not sized to the text.
    QTest::addColumn<QString>("kept");
    QTest::newRow("top left") << int(Qt::AlignLeft | Qt::AlignTop) << QRect(20, 100, 360, 16) << "LT";
    QTest::newRow("centred both ways") << int(Qt::AlignCenter) << QRect(20, 100, 360, 40) << "CC";
    QTest::newRow("centred, odd room") << int(Qt::AlignCenter) << QRect(20, 100, 361, 41) << "CC";
    QTest::newRow("centred, text taller") << int(Qt::AlignCenter) << QRect(20, 100, 360, 4) << "CC";
    QTest::newRow("right") << int(Qt::AlignRight | Qt::AlignTop) << QRect(20, 100, 360, 30) << "RT";
    QTest::newRow("vertical centre only") << int(Qt::AlignLeft | Qt::AlignVCenter) << QRect(20, 100, 360, 30) << "LC";
    QTest::newRow("not sized") << int(Qt::AlignCenter) << QRect(20, 100, 360, 16) << "--";
  }
  void fitToText() {
    QFETCH(int, alignment);
    QFETCH(QRect, start);
    QFETCH(QString, kept);
    Dialog d(QStringLiteral("Visit us"), Qt::Alignment(alignment));
    d.link->setGeometry(start);
    d.link->SetSizeToText(kept != "--");
    d.link->Attach();
    d.link->SetTarget(kAddress);
    QFontMetrics metrics(d.link->font());
    const int w = metrics.horizontalAdvance(QStringLiteral("Visit us")), h = metrics.height();
    // Each centred edge moves in by half the spare room, rounded toward zero.
    const int dx = (start.width() - w) / 2, dy = (start.height() - h) / 2;
    QRect want = start;
    if (kept[0] == 'L') want.setRight(start.left() + w - 1);
    if (kept[0] == 'R') want.setLeft(start.right() + 1 - w);
    if (kept[0] == 'C') want.adjust(dx, 0, -dx, 0);
    if (kept[1] == 'T') want.setBottom(start.top() + h - 1);
    if (kept[1] == 'C') want.adjust(0, dy, 0, -dy);
    QCOMPARE(d.link->geometry(), want);
  }

  void coloursByState() {
    Dialog d;
    d.link->Attach();
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
    const QImage image = d.link->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
    QVERIFY(std::count(pixels, pixels + image.sizeInBytes() / sizeof(QRgb), qRgb(85, 26, 139)) > 0);
  }

  // A light window keeps the classic link colours; a dark one takes the
  // palette's, made readable. The link follows a change of palette.
  void paletteColours_data() {
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("link");       // the palette's Link
    QTest::addColumn<bool>("application");  // the application's palette changes, else the dialog's
    QTest::newRow("light") << QColor(240, 240, 240) << QColor(0, 120, 0) << false;
    QTest::newRow("dark, readable link") << QColor(53, 53, 53) << QColor(120, 190, 255) << false;
    QTest::newRow("dark, dim link") << QColor(53, 53, 53) << QColor(42, 130, 218) << false;
    QTest::newRow("black, application") << QColor(Qt::black) << QColor(0, 0, 238) << true;
  }
  void paletteColours() {
    QFETCH(QColor, window);
    QFETCH(QColor, link);
    QFETCH(bool, application);
    const QPalette before = QApplication::palette();
    Dialog d;
    d.link->Attach();
    QPalette palette = d.parent.palette();
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Link, link);
    palette.setColor(QPalette::LinkVisited, QColor(85, 26, 139));
    palette.setColor(QPalette::Highlight, QColor(0, 0, 128));
    application ? QApplication::setPalette(palette) : d.parent.setPalette(palette);
    QCoreApplication::sendPostedEvents();  // the application's palette reaches widgets by posted events
    const QList<QColor> colours{d.link->linkColour(), d.link->visitedColour(), d.link->hoverColour()};
    QApplication::setPalette(before);
    if (window.lightness() >= 128) {
      QCOMPARE(colours, (QList<QColor>{QColor(0, 0, 238), QColor(85, 26, 139), QColor(0, 0, 128)}));
      return;
    }
    for (const QColor& colour : colours)
      QVERIFY2(Contrast(colour, window) >= 4.5, qPrintable(colour.name() + QStringLiteral(" on ") + window.name()));
    if (Contrast(link, window) >= 4.5) QCOMPARE(colours[0], link);
    QVERIFY(colours[2] != colours[0]);  // hovering still shows
  }

  void focusIndicationAndOtherKeys() {
    ScopedRecordingServices services;
    Dialog d;
    d.link->Attach();
    d.parent.show();
    QVERIFY(QTest::qWaitForWindowActive(&d.parent));
    const QImage unfocused = d.link->grab().toImage();
    QTest::keyClick(d.button, Qt::Key_Tab);  // the style marks the focus once the keyboard moved it
    QVERIFY(d.link->hasFocus() && d.link->grab().toImage() != unfocused);
    // Other keys are the dialog's: Escape still closes it.
    QTest::keyClick(d.link, Qt::Key_Escape);
    QVERIFY(!d.parent.isVisible() && d.parent.result() == QDialog::Rejected);
    QVERIFY(services.openedUrls.isEmpty());
  }

  // A click, Enter or Space opens the address with the desktop, or else with
  // the text/html handler; when both fail, the link beeps, shows itself
  // unvisited and says why.
  void opening_data() {
    QTest::addColumn<int>("key");             // 0: a click
    QTest::addColumn<bool>("desktop");        // the desktop opens the address
    QTest::addColumn<QByteArray>("handler");  // the handler's entry; empty: none
    QTest::addColumn<OpenResult>("start");    // what starting the handler's program gives
    QTest::addColumn<QString>("reason");      // empty: opened
    const QByteArray web("Exec=web-browser --new-tab %u\n");
    const char* none = "There is no application associated\nwith the given filename extension.";
    AddRow("click", 0, true, "", OpenResult::kOpened, "");
    AddRow("Return", Qt::Key_Return, true, "", OpenResult::kOpened, "");
    AddRow("keypad Enter", Qt::Key_Enter, true, "", OpenResult::kOpened, "");
    AddRow("Space", Qt::Key_Space, true, "", OpenResult::kOpened, "");
    AddRow("Return, browser instead", Qt::Key_Return, false, web, OpenResult::kOpened, "");
    AddRow("Space, no browser", Qt::Key_Space, false, "", OpenResult::kOpened, none);
    AddRow("browser missing", 0, false, web, OpenResult::kFileNotFound, "The specified file was not found.");
    AddRow("browser's folder missing", 0, false, web, OpenResult::kPathNotFound, "The specified path was not found.");
    AddRow("browser not executable", 0, false, web, OpenResult::kAccessDenied,
           "The operating system denied\naccess to the specified file.");
    AddRow("browser no program", 0, false, web, OpenResult::kBadFormat,
           "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    // Runs nothing: the entry's program would be a shell with the address in its script.
    AddRow("hostile handler", 0, false, "Name=Evil;$(touch pwned)\nExec=sh -c \"echo %u %c\"\n", OpenResult::kOpened,
           none);
  }
  void opening() {
    QFETCH(int, key);
    QFETCH(bool, desktop);
    QFETCH(QByteArray, handler);
    QFETCH(OpenResult, start);
    QFETCH(QString, reason);
    RecordingServices services;
    services.openUrlResult = desktop;
    services.startResult = start;
    if (!handler.isEmpty()) InstallHtmlHandler(services, handler);
    vell::platform::ScopedServices scope(services);
    bool visited = !reason.isEmpty();
    OpenLink(kAddress, &visited, key);
    QCOMPARE(visited, reason.isEmpty());
    QCOMPARE(services.openedUrls, QList<QUrl>{QUrl(kAddress)});
    QCOMPARE(services.queriedTypes, desktop ? QStringList() : QStringList{QStringLiteral("text/html")});
    const QList<QStringList> browser{{"web-browser", "--new-tab", kAddress}};
    QCOMPARE(services.launched, !desktop && handler.contains("web-browser") ? browser : QList<QStringList>());
    QCOMPARE(services.beeps, reason.isEmpty() ? 0 : 1);
    const QString message = QStringLiteral("Unable to open hyperlink:\n\n") + reason;
    QCOMPARE(services.messages.value(0).second, reason.isEmpty() ? QString() : message);
    QCOMPARE(services.messages.size(), reason.isEmpty() ? 0 : 1);
  }
};

QTEST_MAIN(HyperlinkLabelTest)
#include "hyperlink_label_test.moc"
