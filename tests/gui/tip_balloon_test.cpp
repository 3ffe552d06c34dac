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

// A window with two registered line edits and an unregistered label, shown
// and active, the focus in the first edit.
struct Page {
  Page() {
    window.setGeometry(50, 50, 400, 300);
    first = new QLineEdit(&window);
    first->setGeometry(10, 10, 150, 30);
    second = new QLineEdit(&window);
    second->setGeometry(10, 60, 150, 30);
    other = new QLabel(QStringLiteral("plain"), &window);
    other->setGeometry(10, 120, 150, 30);
    balloon.SetSize(QSize(200, 125));
    balloon.SetTailSide(vell::TipBalloon::TailSide::kTop);
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
  void Press(QWidget* w, Qt::MouseButton button) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(At(w, 5, 5)), button, button, Qt::NoModifier);
    balloon.FilterEvent(w, &press);
  }
  void Key(QWidget* w) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    balloon.FilterEvent(w, &key);
  }
  QPoint Shown() const { return balloon.Window()->geometry().topLeft(); }

  QWidget window;
  QLineEdit* first;
  QLineEdit* second;
  QLabel* other;
  vell::TipBalloon balloon;
};

}  // namespace

class TipBalloonTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QuietOffscreenNotes();
    QVERIFY(PrepareSandbox());
  }

  void shapeAndPointer_data() {
    QTest::addColumn<vell::TipBalloon::TailSide>("side");
    QTest::addColumn<QRect>("textRect");
    QTest::addColumn<QList<QPoint>>("inside");
    QTest::addColumn<QList<QPoint>>("outside");
    // 200 × 125: the pointer's tip, its wide end and the body's middle are
    // in; the corners of the window and the space beside the pointer are out.
    QTest::newRow("left") << vell::TipBalloon::TailSide::kLeft << QRect(QPoint(18, 8), QPoint(191, 116))
                          << QList<QPoint>{{1, 52}, {14, 65}, {100, 62}, {195, 62}}
                          << QList<QPoint>{{3, 60}, {0, 0}, {5, 124}, {199, 124}};
    QTest::newRow("top") << vell::TipBalloon::TailSide::kTop << QRect(QPoint(8, 18), QPoint(191, 116))
                         << QList<QPoint>{{11, 3}, {24, 14}, {100, 62}, {100, 120}}
                         << QList<QPoint>{{20, 3}, {0, 0}, {0, 10}, {199, 124}};
    QTest::newRow("bottom") << vell::TipBalloon::TailSide::kBottom << QRect(QPoint(8, 8), QPoint(191, 106))
                            << QList<QPoint>{{11, 123}, {24, 111}, {100, 62}, {100, 2}}
                            << QList<QPoint>{{20, 121}, {0, 124}, {0, 0}, {199, 114}};
  }
  void shapeAndPointer() {
    QFETCH(vell::TipBalloon::TailSide, side);
    QFETCH(QRect, textRect);
    QFETCH(QList<QPoint>, inside);
    QFETCH(QList<QPoint>, outside);
    vell::TipBalloon balloon;
    balloon.SetSize(QSize(200, 125));
    balloon.SetTailSide(side);
    QVERIFY(balloon.CreateBalloon(nullptr));
    QCOMPARE(balloon.textRect(), textRect);
    QCOMPARE(balloon.Window()->size(), QSize(200, 125));
    QCOMPARE(balloon.Window()->mask(), balloon.shapeRegion());
    QVERIFY(!balloon.IsVisible());
    const auto where = [](const QPoint& p) { return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y()); };
    for (const QPoint& p : inside) QVERIFY2(balloon.shapeRegion().contains(p), qPrintable(where(p)));
    for (const QPoint& p : outside) QVERIFY2(!balloon.shapeRegion().contains(p), qPrintable(where(p)));
  }

  void tailVertices() {
    using Side = vell::TipBalloon::TailSide;
    QCOMPARE(vell::TipBalloon::TailPolygon(Side::kLeft, 61), QPolygon({{0, 20}, {15, 20}, {15, 35}}));
    QCOMPARE(vell::TipBalloon::TailPolygon(Side::kTop, 61), QPolygon({{10, 0}, {10, 15}, {25, 15}}));
    QCOMPARE(vell::TipBalloon::TailPolygon(Side::kBottom, 61), QPolygon({{10, 61}, {10, 46}, {25, 46}}));
  }

  void creationFailures() {
    RecordingServices services;
    vell::platform::ScopedServices scope(services);
    vell::TipBalloon badSide;
    badSide.SetTailSide(vell::TipBalloon::TailSide(3));
    QVERIFY(!badSide.CreateBalloon(nullptr));
    QVERIFY(!badSide.Window());
    vell::TipBalloon empty;
    empty.SetSize(QSize(0, 60));
    QVERIFY(!empty.CreateBalloon(nullptr));
    QVERIFY(!empty.Window());
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.messages.first().second, QStringLiteral("ERROR in Combining Region"));
  }

  void registration() {
    vell::TipBalloon balloon;
    QWidget a, b;
    balloon.RegisterWindow(&a, QStringLiteral("one"), QStringLiteral("One"), Qt::black, 3);
    balloon.RegisterWindow(&a, QStringLiteral("two"), QStringLiteral("Two"), Qt::red, 4);
    QCOMPARE(balloon.Entry(&a)->text, QStringLiteral("two"));
    QCOMPARE(balloon.Entry(&a)->title, QStringLiteral("Two"));
    QCOMPARE(balloon.Entry(&a)->textColour, QColor(Qt::red));
    QCOMPARE(balloon.Entry(&a)->seconds, 4);
    QVERIFY(a.hasMouseTracking());
    balloon.SetDefaultSeconds(8);
    balloon.RegisterWindow(&b, QString(), QString(), Qt::black, -1);
    balloon.SetDefaultSeconds(2);
    QCOMPARE(balloon.Entry(&b)->seconds, 8);
    auto* gone = new QWidget;
    balloon.RegisterWindow(gone, QStringLiteral("x"), QString(), Qt::black, 1);
    delete gone;
    QVERIFY(!balloon.Entry(gone));
    QVERIFY(balloon.Entry(&b));
  }

  void showFollowHide() {
    Page page;
    QVERIFY(page.Ready());
    const QPoint at = Page::At(page.first);
    page.Move(page.first, at);
    QVERIFY(page.balloon.IsVisible());
    QCOMPARE(page.Shown(), at);
    QCOMPARE(page.balloon.currentWindow(), page.first);
    QCOMPARE(page.balloon.title(), QStringLiteral("First"));
    QCOMPARE(page.balloon.text(), QStringLiteral("first text"));
    QCOMPARE(page.balloon.textColour(), QColor(0, 0, 255));
    QVERIFY(page.balloon.hideTimerActive());
    // The balloon never takes the focus.
    QCOMPARE(QApplication::focusWidget(), page.first);
    QVERIFY(!page.balloon.Window()->isActiveWindow());

    // Following the cursor inside the window moves it and restarts the timer.
    page.balloon.ShowAt(at, 0);
    QVERIFY(!page.balloon.hideTimerActive());
    page.Move(page.first, Page::At(page.first, 60, 12));
    QCOMPARE(page.Shown(), Page::At(page.first, 60, 12));
    QVERIFY(page.balloon.hideTimerActive());
    page.balloon.SetFollowCursor(false);
    page.Move(page.first, Page::At(page.first, 90, 12));
    QCOMPARE(page.Shown(), Page::At(page.first, 60, 12));
    page.balloon.SetFollowCursor(true);

    // A click hides it; moving inside the same window does not bring it back.
    page.Press(page.first, Qt::LeftButton);
    QVERIFY(!page.balloon.IsVisible());
    QVERIFY(!page.balloon.hideTimerActive());
    page.Move(page.first, Page::At(page.first, 30, 12));
    QVERIFY(!page.balloon.IsVisible());
    // Leaving to an unregistered widget clears the window; coming back shows it.
    page.Move(page.other, Page::At(page.other));
    QVERIFY(!page.balloon.IsVisible());
    QVERIFY(!page.balloon.currentWindow());
    page.Move(page.first, Page::At(page.first));
    QVERIFY(page.balloon.IsVisible());
    // A right click and a key press hide it too.
    page.Press(page.first, Qt::RightButton);
    QVERIFY(!page.balloon.IsVisible());
    page.Move(page.other, Page::At(page.other));
    page.Move(page.first, Page::At(page.first));
    QVERIFY(page.balloon.IsVisible());
    page.Key(page.first);
    QVERIFY(!page.balloon.IsVisible());
  }

  void straightIntoAnotherWindow() {
    Page page;
    QVERIFY(page.Ready());
    page.Move(page.first, Page::At(page.first));
    const QPoint at = Page::At(page.second, 40, 5);
    page.Move(page.second, at);
    QVERIFY(page.balloon.IsVisible());
    QCOMPARE(page.balloon.currentWindow(), page.second);
    QCOMPARE(page.balloon.title(), QStringLiteral("Second"));
    QCOMPARE(page.balloon.textColour(), QColor(255, 0, 0));
    QCOMPARE(page.Shown(), at);
    QVERIFY(!page.balloon.hideTimerActive());  // registered with 0 seconds
  }

  void otherButtonsAndEventsDoNothing() {
    Page page;
    QVERIFY(page.Ready());
    page.Move(page.first, Page::At(page.first));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(Page::At(page.other)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    page.balloon.FilterEvent(page.other, &release);
    QVERIFY(page.balloon.IsVisible());
    page.Press(page.first, Qt::MiddleButton);
    QVERIFY(page.balloon.IsVisible());
  }

  void withoutFocusMovesDoNothing() {
    Page page;
    QVERIFY(page.Ready());
    page.Move(page.first, Page::At(page.first));
    page.first->clearFocus();
    QVERIFY(!QApplication::focusWidget());
    page.Move(page.second, Page::At(page.second));
    QCOMPARE(page.balloon.currentWindow(), page.first);
    QCOMPARE(page.balloon.title(), QStringLiteral("First"));
    page.Press(page.second, Qt::LeftButton);
    QVERIFY(!page.balloon.IsVisible());
  }

  void relayedQtEvents() {
    Page page;
    QVERIFY(page.Ready());
    page.balloon.RelayEventsOf(page.first);
    page.balloon.RelayEventsOf(page.second);
    QTest::mouseMove(page.first, QPoint(30, 12));
    QTRY_VERIFY(page.balloon.IsVisible());
    QCOMPARE(page.Shown(), Page::At(page.first, 30, 12));
    QTest::mouseClick(page.first, Qt::LeftButton, Qt::NoModifier, QPoint(30, 12));
    QVERIFY(!page.balloon.IsVisible());
    QTest::mouseMove(page.second, QPoint(25, 8));
    QTRY_VERIFY(page.balloon.IsVisible());
    QCOMPARE(page.balloon.currentWindow(), page.second);
    QTest::keyClick(page.first, Qt::Key_A);
    QVERIFY(!page.balloon.IsVisible());
  }

  void clampedToTheScreen_data() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int right = screen.right() + 1, bottom = screen.bottom() + 1;
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QPoint>("shown");
    QTest::newRow("inside") << QPoint(30, 40) << QPoint(30, 40);
    QTest::newRow("negative") << QPoint(-5, -7) << QPoint(0, 0);
    QTest::newRow("right edge") << QPoint(right - 10, 40) << QPoint(right - 200, 40);
    QTest::newRow("bottom edge") << QPoint(30, bottom - 10) << QPoint(30, bottom - 125);
    QTest::newRow("corner") << QPoint(right - 1, bottom - 1) << QPoint(right - 200, bottom - 125);
    QTest::newRow("just fits") << QPoint(right - 200, bottom - 125) << QPoint(right - 200, bottom - 125);
  }
  void clampedToTheScreen() {
    QFETCH(QPoint, at);
    QFETCH(QPoint, shown);
    Page page;
    page.balloon.ShowAt(at, 0);
    QVERIFY(page.balloon.IsVisible());
    QCOMPARE(page.balloon.Window()->geometry(), QRect(shown, QSize(200, 125)));
  }

  void hideTimer() {
    Page page;
    page.balloon.ShowAt(QPoint(10, 10), 0);
    QVERIFY(!page.balloon.hideTimerActive());
    page.balloon.ShowAt(QPoint(10, 10), -4);
    QVERIFY(!page.balloon.hideTimerActive());
    page.balloon.ShowAt(QPoint(10, 10), INT_MAX);  // no overflow: the longest timer runs
    QVERIFY(page.balloon.hideTimerActive());
    QTest::qWait(20);
    QVERIFY(page.balloon.IsVisible());
    page.balloon.ShowAt(QPoint(10, 10), 1);
    QVERIFY(page.balloon.hideTimerActive());
    QTRY_VERIFY_WITH_TIMEOUT(!page.balloon.IsVisible(), 5000);
    QVERIFY(!page.balloon.hideTimerActive());
    page.balloon.ShowAt(QPoint(10, 10), 6);
    page.balloon.HideBalloon();
    QVERIFY(!page.balloon.hideTimerActive());
  }

  void textLayout_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("titleWrapped");
    QTest::addColumn<bool>("textWrapped");
    QTest::newRow("short") << "Expression"
                           << "Hi" << false << false;
    QTest::newRow("long title") << "A title far wider than the text rectangle of this balloon"
                                << "Hi" << true << false;
    QTest::newRow("line breaks") << "Variables"
                                 << "x=1\r\ny=2" << false << true;
    QTest::newRow("long text") << "Expression"
                               << "Please type in the expression here. For eg: sin(45)+56/2 and more" << false << true;
  }
  void textLayout() {
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, titleWrapped);
    QFETCH(bool, textWrapped);
    Page page;
    QVERIFY(page.Ready());
    page.balloon.RegisterWindow(page.first, text, title, Qt::black, 0);
    page.Move(page.first, Page::At(page.first));
    const vell::TipBalloon::TextLayout layout = page.balloon.LayoutText();
    const QFontMetrics metrics(page.balloon.titleFont());
    QCOMPARE(layout.titleWrapped, titleWrapped);
    QCOMPARE(layout.textWrapped, textWrapped);
    QCOMPARE(layout.titleRect, page.balloon.textRect());
    QCOMPARE(layout.gap, metrics.height() / 2);
    if (titleWrapped) {
      QVERIFY(layout.titleHeight >= 2 * metrics.height());
    } else {
      QCOMPARE(layout.titleHeight, metrics.height());
    }
    QCOMPARE(layout.textRect.top(), page.balloon.textRect().top() + layout.titleHeight + layout.gap);
    QCOMPARE(layout.textRect.bottom(), page.balloon.textRect().bottom());
  }

  void painting() {
    Page page;
    QVERIFY(page.Ready());
    page.balloon.SetColours(QColor(0, 200, 0), QColor(200, 0, 0));
    page.Move(page.first, Page::At(page.first));
    const QImage image = page.balloon.Window()->grab().toImage();
    const QRect bounds = page.balloon.shapeRegion().boundingRect();
    QCOMPARE(QColor(image.pixel(195, 62)), QColor(0, 200, 0));
    QCOMPARE(QColor(image.pixel(100, bounds.bottom())), QColor(200, 0, 0));
    QCOMPARE(QColor(image.pixel(bounds.right(), 62)), QColor(200, 0, 0));
    QCOMPARE(QColor(image.pixel(100, bounds.bottom() - 1)), QColor(0, 200, 0));
    // The title is drawn in the entry's colour (blue) inside the text area.
    bool blue = false;
    const QRect title = page.balloon.LayoutText().titleRect;
    for (int y = title.top(); y < title.top() + 14 && !blue; ++y)
      for (int x = title.left(); x < title.left() + 60 && !blue; ++x) {
        const QColor c(image.pixel(x, y));
        blue = c.blue() > 150 && c.red() < 100 && c.green() < 100;
      }
    QVERIFY(blue);
  }
};

QTEST_MAIN(TipBalloonTest)
#include "tip_balloon_test.moc"
