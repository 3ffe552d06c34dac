#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QtTest>
#include <climits>

#include "components/tip_balloon.h"
#include "recording_services.h"
#include "sandbox.h"

namespace {

using Side = vell::TipBalloon::TailSide;

// A window with two registered line edits and an unregistered label, shown
// and active, the focus in the first edit.
struct Page {
  Page() {
    window.setGeometry(50, 50, 400, 300);
    first->setGeometry(10, 10, 150, 30);
    second->setGeometry(10, 60, 150, 30);
    other->setGeometry(10, 120, 150, 30);
    balloon.SetSize(QSize(200, 125));
    balloon.SetTailSide(Side::kTop);
    balloon.CreateBalloon(&window);
    balloon.SetFollowCursor(true);
    balloon.SetDefaultSeconds(6);
    balloon.RegisterWindow(first, QStringLiteral("first text"), QStringLiteral("First"), QColor(0, 0, 255), 6);
    balloon.RegisterWindow(second, QStringLiteral("second text"), QStringLiteral("Second"), QColor(255, 0, 0), 0);
    window.show();
    window.activateWindow();
  }
  bool Ready() {
    if (!QTest::qWaitForWindowActive(&window)) return false;
    first->setFocus();
    return QApplication::focusWidget() == first;
  }
  static QPoint At(QWidget* w, int x = 20, int y = 10) { return w->mapToGlobal(QPoint(x, y)); }
  // Relays a mouse move over w, the cursor at the screen position at.
  void Move(QWidget* w, const QPoint& at) {
    QMouseEvent move(QEvent::MouseMove, w->mapFromGlobal(at), at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    balloon.FilterEvent(w, &move);
  }
  // Relays a key press (type KeyPress) or a mouse button event over w.
  void Send(QWidget* w, QEvent::Type type, Qt::MouseButton button = Qt::LeftButton) {
    if (type == QEvent::KeyPress) {
      QKeyEvent key(type, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
      balloon.FilterEvent(w, &key);
      return;
    }
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent mouse(type, QPointF(5, 5), QPointF(At(w, 5, 5)), button, held, Qt::NoModifier);
    balloon.FilterEvent(w, &mouse);
  }
  QPoint Shown() const { return balloon.Window()->geometry().topLeft(); }

  QWidget window;
  QLineEdit* first = new QLineEdit(&window);
  QLineEdit* second = new QLineEdit(&window);
  QLabel* other = new QLabel(QStringLiteral("plain"), &window);
  vell::TipBalloon balloon;
};

void AddLayoutRow(const char* name, const QString& title, const QString& text, const QString& growth, bool titleWrapped,
                  bool textWrapped) {
  QTest::newRow(name) << title << text << growth << titleWrapped << textWrapped;
}

}  // namespace

class TipBalloonTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QuietOffscreenNotes();
    QVERIFY(PrepareSandbox());
  }

  void shapeAndPointer_data() {
    QTest::addColumn<Side>("side");
    QTest::addColumn<QRect>("textRect");
    QTest::addColumn<QList<QPoint>>("inside");
    QTest::addColumn<QList<QPoint>>("outside");
    // 200 × 125 (half the odd height rounds down): the pointer's tip, its wide end and the body's
    // middle are in; the corners of the window and the space beside the pointer are out.
    QTest::newRow("left") << Side::kLeft << QRect(QPoint(18, 8), QPoint(191, 116))
                          << QList<QPoint>{{1, 52}, {14, 65}, {100, 62}, {195, 62}}
                          << QList<QPoint>{{3, 60}, {0, 0}, {5, 124}, {199, 124}};
    QTest::newRow("top") << Side::kTop << QRect(QPoint(8, 18), QPoint(191, 116))
                         << QList<QPoint>{{11, 3}, {24, 14}, {100, 62}, {100, 120}}
                         << QList<QPoint>{{20, 3}, {0, 0}, {0, 10}, {199, 124}};
    QTest::newRow("bottom") << Side::kBottom << QRect(QPoint(8, 8), QPoint(191, 106))
                            << QList<QPoint>{{11, 123}, {24, 111}, {100, 62}, {100, 2}}
                            << QList<QPoint>{{20, 121}, {0, 124}, {0, 0}, {199, 114}};
  }
  void shapeAndPointer() {
    QFETCH(Side, side);
    QFETCH(QRect, textRect);
    QFETCH(QList<QPoint>, inside);
    QFETCH(QList<QPoint>, outside);
    vell::TipBalloon balloon;
    balloon.SetSize(QSize(200, 125));
    balloon.SetTailSide(side);
    QVERIFY(balloon.CreateBalloon(nullptr));
    QCOMPARE(balloon.textRect(), textRect);
    QCOMPARE(balloon.Window()->mask(), balloon.shapeRegion());
    QVERIFY(!balloon.IsVisible() && balloon.Window()->size() == QSize(200, 125));
    const auto where = [](const QPoint& p) { return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y()); };
    for (const QPoint& p : inside) QVERIFY2(balloon.shapeRegion().contains(p), qPrintable(where(p)));
    for (const QPoint& p : outside) QVERIFY2(!balloon.shapeRegion().contains(p), qPrintable(where(p)));
  }

  void creationFailures() {
    RecordingServices services;
    vell::platform::ScopedServices scope(services);
    vell::TipBalloon badSide, empty;
    badSide.SetTailSide(Side(3));
    QVERIFY(!badSide.CreateBalloon(nullptr) && !badSide.Window());
    QVERIFY(services.messages.isEmpty());
    empty.SetSize(QSize(0, 60));
    QVERIFY(!empty.CreateBalloon(nullptr) && !empty.Window());
    QCOMPARE(services.messages.value(0).second, QStringLiteral("ERROR in Combining Region"));
  }

  void registration() {
    vell::TipBalloon balloon;
    QWidget a, b;
    balloon.RegisterWindow(&a, QStringLiteral("one"), QStringLiteral("One"), Qt::black, 3);
    balloon.RegisterWindow(&a, QStringLiteral("two"), QStringLiteral("Two"), Qt::red, 4);
    const vell::TipBalloon::TipEntry* entry = balloon.Entry(&a);
    QCOMPARE(std::make_tuple(entry->text, entry->title, entry->textColour, entry->seconds),
             std::make_tuple(QStringLiteral("two"), QStringLiteral("Two"), QColor(Qt::red), 4));
    QVERIFY(a.hasMouseTracking());
    balloon.SetDefaultSeconds(8);
    balloon.RegisterWindow(&b, QString(), QString(), Qt::black, -1);
    balloon.SetDefaultSeconds(2);
    QCOMPARE(balloon.Entry(&b)->seconds, 8);
    auto* gone = new QWidget;
    balloon.RegisterWindow(gone, QStringLiteral("x"), QString(), Qt::black, 1);
    delete gone;
    QVERIFY(!balloon.Entry(gone) && balloon.Entry(&b));
  }

  void showFollowHide() {
    Page page;
    QVERIFY(page.Ready());
    const QPoint at = Page::At(page.first);
    page.Move(page.first, at);
    QVERIFY(page.balloon.IsVisible());
    QCOMPARE(page.Shown(), at);
    QCOMPARE(page.balloon.currentWindow(), page.first);
    QCOMPARE(std::make_tuple(page.balloon.title(), page.balloon.text(), page.balloon.textColour()),
             std::make_tuple(QStringLiteral("First"), QStringLiteral("first text"), QColor(0, 0, 255)));
    QVERIFY(page.balloon.hideTimerActive());
    // The balloon never takes the focus.
    QCOMPARE(QApplication::focusWidget(), page.first);
    QVERIFY(!page.balloon.Window()->isActiveWindow());

    // Following the cursor inside the window moves it and restarts the timer.
    page.balloon.ShowAt(at, 0);
    page.Move(page.first, Page::At(page.first, 60, 12));
    QCOMPARE(page.Shown(), Page::At(page.first, 60, 12));
    QVERIFY(page.balloon.hideTimerActive());
    page.balloon.SetFollowCursor(false);
    page.Move(page.first, Page::At(page.first, 90, 12));
    QCOMPARE(page.Shown(), Page::At(page.first, 60, 12));
    page.balloon.SetFollowCursor(true);

    // Once hidden, moving inside the same window does not bring it back.
    page.Send(page.first, QEvent::MouseButtonPress);
    QVERIFY(!page.balloon.hideTimerActive());
    page.Move(page.first, Page::At(page.first, 30, 12));
    QVERIFY(!page.balloon.IsVisible());
    // Leaving to an unregistered widget clears the window; coming back shows it.
    page.Move(page.other, Page::At(page.other));
    QVERIFY(!page.balloon.IsVisible() && !page.balloon.currentWindow());
    page.Move(page.first, Page::At(page.first));
    QVERIFY(page.balloon.IsVisible());
    // Straight into another registered window: its entry, at the cursor.
    page.Move(page.second, Page::At(page.second, 40, 5));
    QCOMPARE(page.balloon.currentWindow(), page.second);
    QCOMPARE(std::make_pair(page.balloon.title(), page.balloon.textColour()),
             std::make_pair(QStringLiteral("Second"), QColor(255, 0, 0)));
    QCOMPARE(page.Shown(), Page::At(page.second, 40, 5));
    QVERIFY(!page.balloon.hideTimerActive());  // registered with 0 seconds

    // The same through the widgets' own events, relayed by the balloon.
    page.balloon.RelayEventsOf(page.first);
    QTest::mouseMove(page.first, QPoint(30, 12));
    QTRY_VERIFY(page.balloon.IsVisible() && page.Shown() == Page::At(page.first, 30, 12));
    QTest::mouseClick(page.first, Qt::LeftButton, Qt::NoModifier, QPoint(30, 12));
    QVERIFY(!page.balloon.IsVisible());
  }

  // What an event of the second window does to the first window's balloon.
  void whatHides_data() {
    QTest::addColumn<QEvent::Type>("type");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("focus");
    QTest::addColumn<bool>("hides");
    QTest::newRow("left press") << QEvent::MouseButtonPress << Qt::LeftButton << true << true;
    QTest::newRow("right press") << QEvent::MouseButtonPress << Qt::RightButton << true << true;
    QTest::newRow("key press") << QEvent::KeyPress << Qt::NoButton << true << true;
    QTest::newRow("middle press") << QEvent::MouseButtonPress << Qt::MiddleButton << true << false;
    QTest::newRow("left release") << QEvent::MouseButtonRelease << Qt::LeftButton << true << false;
    QTest::newRow("press, no focus") << QEvent::MouseButtonPress << Qt::LeftButton << false << true;
    QTest::newRow("move, no focus") << QEvent::MouseMove << Qt::NoButton << false << false;
  }
  void whatHides() {
    QFETCH(QEvent::Type, type);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, focus);
    QFETCH(bool, hides);
    Page page;
    QVERIFY(page.Ready());
    page.Move(page.first, Page::At(page.first));
    if (!focus) page.first->clearFocus();
    QCOMPARE(QApplication::focusWidget() != nullptr, focus);
    page.Send(page.second, type, button);
    QCOMPARE(page.balloon.IsVisible(), !hides);
    QCOMPARE(page.balloon.currentWindow(), page.first);
    QCOMPARE(page.balloon.title(), QStringLiteral("First"));
  }

  void clampedToTheScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int right = screen.right() + 1, bottom = screen.bottom() + 1;
    const QPoint inside(30, 40), fits(right - 200, bottom - 125);
    const std::pair<QPoint, QPoint> cases[] = {{inside, inside},
                                               {{-5, -7}, {0, 0}},
                                               {{right - 10, 40}, {right - 200, 40}},
                                               {{30, bottom - 10}, {30, bottom - 125}},
                                               {fits, fits}};
    Page page;
    for (const auto& [at, shown] : cases) {
      page.balloon.ShowAt(at, 0);
      QCOMPARE(page.balloon.Window()->geometry(), QRect(shown, QSize(200, 125)));
    }
  }

  void hideTimer() {
    Page page;
    for (const int seconds : {0, -4}) {
      page.balloon.ShowAt(QPoint(10, 10), seconds);
      QVERIFY(!page.balloon.hideTimerActive());
    }
    page.balloon.ShowAt(QPoint(10, 10), INT_MAX);  // no overflow: the longest timer runs
    QVERIFY(page.balloon.hideTimerActive());
    QTest::qWait(20);
    QVERIFY(page.balloon.IsVisible());
    page.balloon.ShowAt(QPoint(10, 10), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!page.balloon.IsVisible(), 5000);
    QVERIFY(!page.balloon.hideTimerActive());
  }

  // A text that fits keeps the owner's 200 × 125; one that does not grows the
  // balloon, height first; shape, layout and position follow the size.
  void layoutAndGrowth_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("growth");  // none, taller, wider or screen
    QTest::addColumn<bool>("titleWrapped");
    QTest::addColumn<bool>("textWrapped");
    AddLayoutRow("short", "Expression", "Hi", "none", false, false);
    AddLayoutRow("long title", "A title far wider than the text rectangle of this balloon", "Hi", "none", true, false);
    AddLayoutRow("line breaks", "Variables", "x=1\r\ny=2", "none", false, true);
    AddLayoutRow("expression tip", "Expression",
                 "Please type in the expression here. For eg:\r\nsin(45)+56/2\r\n"
                 "You may also use any variable from the 'variables' box.",
                 "taller", false, true);
    AddLayoutRow("long word", "Word", "Pneumonoultramicroscopicsilicovolcanoconiosis is long", "wider", false, true);
    AddLayoutRow("beyond the screen", "Long", QString("many words ").repeated(4000), "screen", false, true);
  }
  void layoutAndGrowth() {
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, growth);
    QFETCH(bool, titleWrapped);
    QFETCH(bool, textWrapped);
    Page page;
    QVERIFY(page.Ready());
    page.balloon.SetColours(QColor(0, 200, 0), QColor(200, 0, 0));
    page.balloon.RegisterWindow(page.first, text, title, QColor(0, 0, 255), 0);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    page.Move(page.first, screen.bottomRight());
    const QSize size = page.balloon.size();
    if (growth == "none") QCOMPARE(size, QSize(200, 125));
    if (growth == "wider") QVERIFY(size.width() > 200);
    if (growth == "screen") QCOMPARE(size, QGuiApplication::primaryScreen()->availableGeometry().size());
    // Pushed back onto the screen by the size it has now.
    const QPoint corner = screen.bottomRight() + QPoint(1, 1);
    QCOMPARE(page.balloon.Window()->geometry(), QRect(corner - QPoint(size.width(), size.height()), size));
    QCOMPARE(page.balloon.Window()->mask(), page.balloon.shapeRegion());
    const QRect area = page.balloon.textRect();
    QCOMPARE(area, QRect(8, 18, size.width() - 16, size.height() - 26));

    const vell::TipBalloon::TextLayout layout = page.balloon.LayoutText();
    const QFontMetrics metrics(page.balloon.titleFont());
    QCOMPARE(std::make_pair(layout.titleWrapped, layout.textWrapped), std::make_pair(titleWrapped, textWrapped));
    QCOMPARE(layout.gap, metrics.height() / 2);
    QVERIFY(titleWrapped ? layout.titleHeight >= 2 * metrics.height() : layout.titleHeight == metrics.height());
    QCOMPARE(layout.textRect, area.adjusted(0, layout.titleHeight + layout.gap, 0, 0));
    if (growth == "taller") QCOMPARE(size, QSize(200, layout.extent.height() + 26));  // no taller than needed

    // Fill and frame, and the title and the last line drawn in the entry's blue.
    const QImage image = page.balloon.Window()->grab().toImage();
    const QRect bounds = page.balloon.shapeRegion().boundingRect();
    QCOMPARE(QColor(image.pixel(100, bounds.bottom() - 1)), QColor(0, 200, 0));
    QCOMPARE(QColor(image.pixel(100, bounds.bottom())), QColor(200, 0, 0));
    QCOMPARE(QColor(image.pixel(bounds.right(), size.height() / 2)), QColor(200, 0, 0));
    const auto blueIn = [&image](const QRect& band) {
      for (int i = 0; i < band.width() * band.height(); ++i) {
        const QColor c = image.pixelColor(band.left() + i % band.width(), band.top() + i / band.width());
        if (c.blue() > 150 && c.red() < 100 && c.green() < 100) return true;
      }
      return false;
    };
    QVERIFY(blueIn(QRect(area.topLeft(), QSize(area.width(), metrics.height()))));
    if (growth != "screen") {
      QVERIFY(layout.extent.width() <= area.width());
      QVERIFY(layout.extent.height() <= area.height());
      const int line = QFontMetrics(page.balloon.textFont()).height();
      QVERIFY(blueIn(QRect(area.left(), area.top() + layout.extent.height() - line, area.width(), line)));
    }

    // The next entry fits: the owner's size and shape are back.
    page.Move(page.second, Page::At(page.second));
    QCOMPARE(page.balloon.Window()->size(), QSize(200, 125));
    QCOMPARE(page.balloon.textRect(), QRect(8, 18, 184, 99));
    QCOMPARE(page.balloon.Window()->mask(), page.balloon.shapeRegion());
  }
};

QTEST_MAIN(TipBalloonTest)
#include "tip_balloon_test.moc"
