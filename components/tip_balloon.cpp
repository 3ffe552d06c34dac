#include "components/tip_balloon.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimerEvent>
#include <climits>

#include "platform/message_box.h"

// The balloon's window: paints through the balloon, never takes the focus.
class BalloonWindow : public QWidget {
 public:
  BalloonWindow(CTipBalloon* balloon, QWidget* parent)
      : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
        balloon_(balloon) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    balloon_->Paint(painter);
  }

 private:
  CTipBalloon* balloon_;
};

namespace {

// Text with no line break that fits goes on one line; anything else wraps.
bool FitsOnOneLine(const QFontMetrics& metrics, const QString& text, int width) {
  return !text.contains(QLatin1Char('\n')) && metrics.horizontalAdvance(text) < width;
}

QString WithPlainLineBreaks(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }

int TextFlags(bool wrapped) {
  return Qt::AlignLeft | Qt::AlignTop | (wrapped ? Qt::TextWordWrap : Qt::TextSingleLine);
}

// The pixels of region that touch its outside: a one-pixel frame.
QRegion Frame(const QRegion& region) {
  const QRegion inner = region & region.translated(1, 0) & region.translated(-1, 0) & region.translated(0, 1) &
                        region.translated(0, -1);
  return region - inner;
}

}  // namespace

CTipBalloon::CTipBalloon() = default;

CTipBalloon::~CTipBalloon() {
  StopHideTimer();
  entries_.clear();
  delete window_.data();
}

QPolygon CTipBalloon::TailPolygon(TailSide side, int h) {
  const int half = h / 2;
  switch (side) {
    case kTailLeft: return QPolygon({QPoint(0, half - 10), QPoint(15, half - 10), QPoint(15, half + 5)});
    case kTailTop: return QPolygon({QPoint(10, 0), QPoint(10, 15), QPoint(25, 15)});
    case kTailBottom: return QPolygon({QPoint(10, h), QPoint(10, h - 15), QPoint(25, h - 15)});
  }
  return {};
}

bool CTipBalloon::CreateBalloon(QWidget* parent) {
  if (tailSide != kTailLeft && tailSide != kTailTop && tailSide != kTailBottom) return false;
  QRect body(0, 0, width, height);
  if (tailSide == kTailLeft) body.setLeft(10);
  if (tailSide == kTailTop) body.setTop(10);
  if (tailSide == kTailBottom) body.setBottom(body.bottom() - 10);
  QRegion shape;
  if (body.isValid()) {
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(body), 6, 6);  // corner ellipses of 12 × 12
    bodyRegion_ = QRegion(rounded.toFillPolygon().toPolygon(), Qt::WindingFill);
    tailRegion_ = QRegion(TailPolygon(tailSide, height), Qt::OddEvenFill);
    shape = tailRegion_ | bodyRegion_;
  }
  if (shape.isEmpty()) {
    vell::platform::ShowAppMessage(QStringLiteral("ERROR in Combining Region"));
    return false;
  }
  shapeRegion_ = shape;
  textRect_ = body.adjusted(8, 8, -8, -8);
  textFont_ = QFont(fontFace);
  textFont_.setPixelSize(fontHeight);
  titleFont_ = QFont(QStringLiteral("Verdana"));
  titleFont_.setPixelSize(fontHeight);
  titleFont_.setWeight(QFont::Bold);
  titleFont_.setStyleHint(QFont::Serif);

  delete window_.data();
  window_ = new BalloonWindow(this, parent);
  window_->resize(width, height);
  window_->setMask(shapeRegion_);
  window_->installEventFilter(this);
  return true;
}

void CTipBalloon::RegisterWindow(QWidget* window, const QString& text, const QString& title,
                                 const QColor& textColour, int seconds) {
  if (window && entries_.find(window) == entries_.end()) {
    window->setMouseTracking(true);
    connect(window, &QObject::destroyed, this, [this, window] { entries_.erase(window); });
  }
  entries_[window] = TipEntry{text, title, textColour, seconds < 0 ? defaultSeconds : seconds};
}

const CTipBalloon::TipEntry* CTipBalloon::Entry(QWidget* window) const {
  const auto found = entries_.find(window);
  return found == entries_.end() ? nullptr : &found->second;
}

void CTipBalloon::FilterMessage(const Message& message) {
  if (message.kind == MessageKind::kButtonDown || message.kind == MessageKind::kKeyDown) {
    HideBalloon();
    return;
  }
  if (message.kind != MessageKind::kMouseMove || !message.window) return;
  if (!QApplication::focusWidget()) return;
  const TipEntry* target = Entry(message.window);
  if (currentWindow_) {
    const QRect current(currentWindow_->mapToGlobal(QPoint(0, 0)), currentWindow_->size());
    if (current.contains(message.screenPos)) {
      if (!followCursor || !IsVisible()) return;
      const TipEntry* timing = target ? target : Entry(currentWindow_);
      if (timing) ShowAt(message.screenPos.x(), message.screenPos.y(), timing->seconds);
      return;
    }
    HideBalloon();
    currentWindow_ = nullptr;
  }
  if (target) PutOnShow(message.window, *target, message.screenPos);
}

bool CTipBalloon::FilterEvent(QObject* watched, QEvent* event) {
  Message message;
  message.window = qobject_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress: {
      const auto button = static_cast<QMouseEvent*>(event)->button();
      if (button == Qt::LeftButton || button == Qt::RightButton) message.kind = MessageKind::kButtonDown;
      break;
    }
    case QEvent::KeyPress:
      message.kind = MessageKind::kKeyDown;
      break;
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseMove:
      message.kind = MessageKind::kMouseMove;
      message.screenPos = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      break;
    case QEvent::Enter:  // the first move into a widget arrives as its Enter
      message.kind = MessageKind::kMouseMove;
      message.screenPos = static_cast<QEnterEvent*>(event)->globalPosition().toPoint();
      break;
    default:
      break;
  }
  if (message.kind != MessageKind::kOther) FilterMessage(message);
  return false;
}

void CTipBalloon::PutOnShow(QWidget* window, const TipEntry& entry, const QPoint& at) {
  textColour_ = entry.textColour;
  text_ = entry.text;
  title_ = entry.title;
  ShowAt(at.x(), at.y(), entry.seconds);
  currentWindow_ = window;
}

void CTipBalloon::ShowAt(int x, int y, int seconds) {
  if (!window_) return;
  // Clamp to the screen that holds the point: on several monitors the
  // primary screen alone would put the balloon in the wrong place.
  QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
  if (!screen) screen = QGuiApplication::screenAt(QCursor::pos());
  if (!screen) screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(0, 0, width, height);
  x = qMax(x, area.left());
  y = qMax(y, area.top());
  if (y + height > area.bottom() + 1) y = area.bottom() + 1 - height;
  if (x + width > area.right() + 1) x = area.right() + 1 - width;
  window_->setGeometry(x, y, width, height);
  window_->raise();
  window_->show();
  window_->update();
  StartHideTimer(seconds);
}

void CTipBalloon::HideBalloon() {
  if (!IsVisible()) return;
  window_->hide();
  StopHideTimer();
}

void CTipBalloon::StartHideTimer(int seconds) {
  StopHideTimer();
  if (seconds <= 0) return;
  const qint64 milliseconds = qMin<qint64>(qint64(seconds) * 1000, INT_MAX);
  hideTimer_ = startTimer(int(milliseconds));
}

void CTipBalloon::StopHideTimer() {
  if (hideTimer_ != 0) killTimer(hideTimer_);
  hideTimer_ = 0;
}

void CTipBalloon::timerEvent(QTimerEvent* event) {
  if (hideTimer_ == 0 || event->timerId() != hideTimer_) return;
  StopHideTimer();
  if (window_) window_->hide();
}

bool CTipBalloon::eventFilter(QObject* watched, QEvent* event) {
  // The balloon watches only its own window and the widgets it was asked to
  // relay; their events go the way an owner's widgets' do.
  return FilterEvent(watched, event);
}

CTipBalloon::TextLayout CTipBalloon::LayoutText() const {
  TextLayout layout;
  const QFontMetrics titleMetrics(titleFont_);
  const QString title = WithPlainLineBreaks(title_);
  layout.titleWrapped = !FitsOnOneLine(titleMetrics, title, textRect_.width());
  layout.titleRect = textRect_;
  // One line is as high as the font; wrapped lines as high as they come out.
  layout.titleHeight = layout.titleWrapped
                           ? titleMetrics.boundingRect(textRect_, TextFlags(true), title).height()
                           : titleMetrics.height();
  layout.gap = titleMetrics.size(Qt::TextSingleLine, QStringLiteral("M")).height() / 2;
  layout.textRect = textRect_.adjusted(0, layout.titleHeight + layout.gap, 0, 0);
  const QFontMetrics textMetrics(textFont_);
  layout.textWrapped = !FitsOnOneLine(textMetrics, WithPlainLineBreaks(text_), layout.textRect.width());
  return layout;
}

void CTipBalloon::Paint(QPainter& painter) const {
  const QRegion shape = tailRegion_ | bodyRegion_;
  painter.setClipRegion(shape);
  painter.fillRect(shape.boundingRect(), backColour);
  painter.setClipRegion(Frame(shape));
  painter.fillRect(shape.boundingRect(), frameColour);
  painter.setClipping(false);

  const TextLayout layout = LayoutText();
  painter.setPen(textColour_);
  painter.setFont(titleFont_);
  painter.drawText(layout.titleRect, TextFlags(layout.titleWrapped), WithPlainLineBreaks(title_));
  painter.setFont(textFont_);
  painter.drawText(layout.textRect, TextFlags(layout.textWrapped), WithPlainLineBreaks(text_));
}
