#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <map>

class QPainter;

// A small shaped popup (rounded body with a triangular pointer) that shows a
// bold title and a help text beside the cursor while the cursor is over one
// of the registered widgets. The owner relays its widgets' events; from those
// alone the balloon decides when to show, move and hide itself. It never
// takes the focus and is never activated.
class CTipBalloon : public QObject {
  Q_OBJECT

 public:
  // Side that carries the pointer.
  enum TailSide { kTailLeft = 0, kTailTop = 1, kTailBottom = 2 };

  struct TipEntry {
    QString text;
    QString title;
    QColor textColour;
    int seconds = 0;  // 0: no automatic hiding
  };

  // One relayed event, reduced to what the balloon looks at.
  enum class MessageKind { kMouseMove, kButtonDown, kKeyDown, kOther };
  struct Message {
    QWidget* window = nullptr;  // the widget the event is for
    MessageKind kind = MessageKind::kOther;
    QPoint screenPos;  // cursor position in screen coordinates
  };

  // Where the text goes, as painting computes it.
  struct TextLayout {
    QRect titleRect;
    bool titleWrapped = false;
    int titleHeight = 0;
    int gap = 0;  // half the height of an "M" in the title font
    QRect textRect;
    bool textWrapped = false;
  };

  CTipBalloon();
  ~CTipBalloon() override;

  // Set before CreateBalloon: they shape the window once.
  int width = 100;
  int height = 60;
  TailSide tailSide = kTailLeft;
  int fontHeight = 14;
  QString fontFace = QStringLiteral("Arial");
  // May change at any time.
  bool followCursor = false;
  int defaultSeconds = 10;
  QColor backColour = QColor(255, 255, 230);
  QColor frameColour = QColor(0, 0, 0);

  // Builds the hidden window, owned by parent. False (after the program's
  // message) when the shape comes out empty or tailSide is not valid.
  bool CreateBalloon(QWidget* parent);
  // A later registration of the same widget replaces the earlier one; a
  // negative time means defaultSeconds as it is now. The widget is made to
  // report plain mouse moves, and its entry goes when the widget does.
  void RegisterWindow(QWidget* window, const QString& text, const QString& title, const QColor& textColour,
                      int seconds);
  void FilterMessage(const Message& message);
  // Relays a Qt event of a watched widget (an event filter's arguments).
  // Never consumes the event: returns false.
  bool FilterEvent(QObject* watched, QEvent* event);
  // For owners without an event filter of their own: the widget's events
  // reach FilterEvent from now on.
  void RelayEventsOf(QWidget* widget) { widget->installEventFilter(this); }
  void ShowAt(int x, int y, int seconds);
  void HideBalloon();
  void StartHideTimer(int seconds);
  void StopHideTimer();

  QWidget* Window() const { return window_; }
  bool IsVisible() const { return window_ && window_->isVisible(); }
  QWidget* currentWindow() const { return currentWindow_; }
  int hideTimer() const { return hideTimer_; }
  const TipEntry* Entry(QWidget* window) const;
  QString text() const { return text_; }
  QString title() const { return title_; }
  QColor textColour() const { return textColour_; }
  QRect textRect() const { return textRect_; }
  QRegion shapeRegion() const { return shapeRegion_; }
  QFont textFont() const { return textFont_; }
  QFont titleFont() const { return titleFont_; }
  TextLayout LayoutText() const;

  // The pointer's three corners in a window h pixels high.
  static QPolygon TailPolygon(TailSide side, int h);

 protected:
  void timerEvent(QTimerEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class BalloonWindow;
  void Paint(QPainter& painter) const;
  void PutOnShow(QWidget* window, const TipEntry& entry, const QPoint& at);

  QPointer<QWidget> window_;
  std::map<QWidget*, TipEntry> entries_;
  QPointer<QWidget> currentWindow_;
  QFont textFont_;
  QFont titleFont_;
  QRegion bodyRegion_;
  QRegion tailRegion_;
  QRegion shapeRegion_;
  QRect textRect_;
  QColor textColour_ = QColor(0, 0, 0);
  QString text_;
  QString title_;
  int hideTimer_ = 0;
};
