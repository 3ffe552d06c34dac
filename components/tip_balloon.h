#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <map>

class QPainter;

namespace vell {

// A small shaped popup (rounded body with a triangular pointer) that shows a
// bold title and a help text beside the cursor while the cursor is over one
// of the registered widgets. The owner relays its widgets' events; from those
// alone the balloon decides when to show, move and hide itself. It never
// takes the focus and is never activated.
class TipBalloon : public QObject {
  Q_OBJECT

 public:
  // Side that carries the pointer.
  enum class TailSide { kLeft, kTop, kBottom };
  Q_ENUM(TailSide)

  struct TipEntry {
    QString text;
    QString title;
    QColor textColour;
    int seconds = 0;  // 0: no automatic hiding
  };

  // Where the text goes, as painting computes it.
  struct TextLayout {
    QRect titleRect;
    bool titleWrapped = false;
    int titleHeight = 0;
    int gap = 0;  // half the height of an "M" in the title font
    QRect textRect;
    bool textWrapped = false;
    // Room the title and the text take as drawn, from titleRect's top left.
    QSize extent;
  };

  TipBalloon();
  ~TipBalloon() override;

  // Set before CreateBalloon: they shape the window. The size is also the
  // least the balloon ever has: it grows for a text that would not fit.
  void SetSize(const QSize& size) { size_ = size; }
  void SetTailSide(TailSide side) { tailSide_ = side; }
  // May change at any time.
  void SetFollowCursor(bool follow) { followCursor_ = follow; }
  void SetDefaultSeconds(int seconds) { defaultSeconds_ = seconds; }
  void SetColours(const QColor& back, const QColor& frame);

  // Builds the hidden window, owned by parent. False (after the program's
  // message) when the shape comes out empty or the tail side is not valid.
  bool CreateBalloon(QWidget* parent);
  // A later registration of the same widget replaces the earlier one; a
  // negative time means the default seconds as they are now. The widget is
  // made to report plain mouse moves, and its entry goes when the widget does.
  void RegisterWindow(QWidget* window, const QString& text, const QString& title, const QColor& textColour,
                      int seconds);
  // Takes in an event of a watched widget (an event filter's arguments): a
  // left or right press or a key press hides the balloon, a mouse move over
  // a registered widget shows its entry. Never consumes the event: false.
  bool FilterEvent(QObject* watched, QEvent* event);
  // For owners without an event filter of their own: the widget's events
  // reach FilterEvent from now on.
  void RelayEventsOf(QWidget* widget) { widget->installEventFilter(this); }
  // Shows the balloon at its present size at a screen position, moved onto
  // the screen, for seconds (0 or less: until hidden).
  void ShowAt(const QPoint& at, int seconds);
  void HideBalloon();

  QWidget* Window() const { return window_; }
  bool IsVisible() const { return window_ && window_->isVisible(); }
  QWidget* currentWindow() const { return currentWindow_; }
  // Whether the balloon is timed to hide itself.
  bool hideTimerActive() const { return hideTimer_.isActive(); }
  const TipEntry* Entry(QWidget* window) const;
  QString text() const { return text_; }
  QString title() const { return title_; }
  QColor textColour() const { return textColour_; }
  QRect textRect() const { return textRect_; }
  // The window's size now: the owner's, or more for the entry on show.
  QSize size() const { return shownSize_; }
  QRegion shapeRegion() const { return shapeRegion_; }
  QFont textFont() const { return textFont_; }
  QFont titleFont() const { return titleFont_; }
  TextLayout LayoutText() const { return LayoutIn(textRect_); }

  // The pointer's three corners in a window h pixels high.
  static QPolygon TailPolygon(TailSide side, int h);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class BalloonWindow;

  bool BuildShape(const QSize& size);
  TextLayout LayoutIn(const QRect& area) const;
  // The owner's size, grown until the title and the text on show fit,
  // within the available part of the screen (but never below the owner's).
  QSize FittingSize(const QRect& available) const;
  void Resize(const QSize& size);
  void MouseMoved(QWidget* target, const QPoint& screenPos);
  void PutOnShow(QWidget* window, const TipEntry& entry, const QPoint& at);
  void StartHideTimer(int seconds);
  void Paint(QPainter& painter) const;

  QSize size_ = QSize(100, 60);
  QSize shownSize_ = size_;
  TailSide tailSide_ = TailSide::kLeft;
  bool followCursor_ = false;
  int defaultSeconds_ = 10;
  QColor backColour_ = QColor(255, 255, 230);
  QColor frameColour_ = QColor(0, 0, 0);

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
  QTimer hideTimer_;
};

}  // namespace vell
