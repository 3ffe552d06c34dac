#include "components/tip_balloon.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <climits>

#include "platform/message_box.h"

namespace vell {

namespace {

// Pixel height of both the title's and the text's font.
constexpr int kFontHeight = 14;
// How much wider a balloon too tall for the screen tries next.
constexpr int kWidthStep = 8;

// Text with no line break that fits goes on one line; anything else wraps.
bool FitsOnOneLine(const QFontMetrics& metrics, const QString& text, int width) {
  return !text.contains(QLatin1Char('\n')) && metrics.horizontalAdvance(text) < width;
}

QString WithPlainLineBreaks(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }

int TextFlags(bool wrapped) { return Qt::AlignLeft | Qt::AlignTop | (wrapped ? Qt::TextWordWrap : Qt::TextSingleLine); }

// Room text takes drawn at the top left of area: one line is as high as the
// font; wrapped lines as high and as wide (a long word) as they come out.
QSize Extent(const QFontMetrics& metrics, const QRect& area, const QString& text, bool wrapped) {
  if (!wrapped) return QSize(metrics.horizontalAdvance(text), metrics.height());
  const QRect unbounded(area.topLeft(), QSize(area.width(), INT_MAX / 4));
  return metrics.boundingRect(unbounded, TextFlags(true), text).size();
}

// The window less 10 pixels on the pointer's side.
QRect BodyRect(TipBalloon::TailSide side, const QSize& size) {
  QRect body(QPoint(0, 0), size);
  switch (side) {
    case TipBalloon::TailSide::kLeft: body.setLeft(10); break;
    case TipBalloon::TailSide::kTop: body.setTop(10); break;
    case TipBalloon::TailSide::kBottom: body.setBottom(body.bottom() - 10); break;
  }
  return body;
}

// The screen that holds the point: on several monitors the primary screen
// alone would put the balloon in the wrong place.
QScreen* ScreenAt(const QPoint& at) {
  QScreen* screen = QGuiApplication::screenAt(at);
  if (!screen) screen = QGuiApplication::screenAt(QCursor::pos());
  return screen ? screen : QGuiApplication::primaryScreen();
}

// The pixels of region that touch its outside: a one-pixel frame.
QRegion Frame(const QRegion& region) {
  const QRegion inner =
      region & region.translated(1, 0) & region.translated(-1, 0) & region.translated(0, 1) & region.translated(0, -1);
  return region - inner;
}

}  // namespace

// The balloon's window: paints through the balloon, never takes the focus.
class TipBalloon::BalloonWindow : public QWidget {
 public:
  BalloonWindow(TipBalloon* balloon, QWidget* parent)
      : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), balloon_(balloon) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    balloon_->Paint(painter);
  }

 private:
  TipBalloon* balloon_;
};

TipBalloon::TipBalloon() {
  hideTimer_.setSingleShot(true);
  connect(&hideTimer_, &QTimer::timeout, this, [this] {
    if (window_) window_->hide();
  });
}

TipBalloon::~TipBalloon() { delete window_.data(); }

void TipBalloon::SetColours(const QColor& back, const QColor& frame) {
  backColour_ = back;
  frameColour_ = frame;
  if (window_) window_->update();
}

QPolygon TipBalloon::TailPolygon(TailSide side, int h) {
  const int half = h / 2;
  switch (side) {
    case TailSide::kLeft: return QPolygon({QPoint(0, half - 10), QPoint(15, half - 10), QPoint(15, half + 5)});
    case TailSide::kTop: return QPolygon({QPoint(10, 0), QPoint(10, 15), QPoint(25, 15)});
    case TailSide::kBottom: return QPolygon({QPoint(10, h), QPoint(10, h - 15), QPoint(25, h - 15)});
  }
  return {};
}

bool TipBalloon::CreateBalloon(QWidget* parent) {
  if (!BuildShape(size_)) return false;
  textFont_ = QFont(QStringLiteral("Arial"));
  textFont_.setPixelSize(kFontHeight);
  titleFont_ = QFont(QStringLiteral("Verdana"));
  titleFont_.setPixelSize(kFontHeight);
  titleFont_.setWeight(QFont::Bold);
  titleFont_.setStyleHint(QFont::Serif);

  delete window_.data();
  window_ = new BalloonWindow(this, parent);
  window_->resize(shownSize_);
  window_->setMask(shapeRegion_);
  window_->installEventFilter(this);
  return true;
}

bool TipBalloon::BuildShape(const QSize& size) {
  if (tailSide_ != TailSide::kLeft && tailSide_ != TailSide::kTop && tailSide_ != TailSide::kBottom) return false;
  const QRect body = BodyRect(tailSide_, size);
  QRegion bodyRegion, tailRegion;
  if (body.isValid()) {
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(body), 6, 6);  // corner ellipses of 12 × 12
    bodyRegion = QRegion(rounded.toFillPolygon().toPolygon(), Qt::WindingFill);
    tailRegion = QRegion(TailPolygon(tailSide_, size.height()), Qt::OddEvenFill);
  }
  const QRegion shape = tailRegion | bodyRegion;
  if (shape.isEmpty()) {
    platform::ShowAppMessage(QStringLiteral("ERROR in Combining Region"));
    return false;
  }
  bodyRegion_ = bodyRegion;
  tailRegion_ = tailRegion;
  shapeRegion_ = shape;
  textRect_ = body.adjusted(8, 8, -8, -8);
  shownSize_ = size;
  return true;
}

void TipBalloon::Resize(const QSize& size) {
  if (!window_ || size == shownSize_ || !BuildShape(size)) return;
  window_->resize(size);
  window_->setMask(shapeRegion_);
}

QSize TipBalloon::FittingSize(const QRect& available) const {
  // All but the text area: the pointer's side and the margins.
  const QSize frame = size_ - BodyRect(tailSide_, size_).adjusted(8, 8, -8, -8).size();
  const QSize limit = available.size().expandedTo(size_);
  const auto needed = [&](int width) {
    return LayoutIn(QRect(0, 0, width - frame.width(), limit.height())).extent + frame;
  };
  int width = size_.width();
  QSize need = needed(width);
  // A word wider than the text area widens the balloon at once.
  if (need.width() > width) {
    width = qMin(need.width(), limit.width());
    need = needed(width);
  }
  // Taller than the screen: wider, step by step, while the screen has room.
  while (need.height() > limit.height() && width < limit.width()) {
    width = qMin(width + kWidthStep, limit.width());
    need = needed(width);
  }
  return QSize(width, qBound(size_.height(), need.height(), limit.height()));
}

void TipBalloon::RegisterWindow(QWidget* window, const QString& text, const QString& title, const QColor& textColour,
                                int seconds) {
  if (window && entries_.find(window) == entries_.end()) {
    window->setMouseTracking(true);
    connect(window, &QObject::destroyed, this, [this, window] { entries_.erase(window); });
  }
  entries_[window] = TipEntry{text, title, textColour, seconds < 0 ? defaultSeconds_ : seconds};
}

const TipBalloon::TipEntry* TipBalloon::Entry(QWidget* window) const {
  const auto found = entries_.find(window);
  return found == entries_.end() ? nullptr : &found->second;
}

bool TipBalloon::FilterEvent(QObject* watched, QEvent* event) {
  auto* target = qobject_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress: {
      const auto button = static_cast<QMouseEvent*>(event)->button();
      if (button == Qt::LeftButton || button == Qt::RightButton) HideBalloon();
      break;
    }
    case QEvent::KeyPress: HideBalloon(); break;
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseMove:
      MouseMoved(target, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
      break;
    case QEvent::Enter:  // the first move into a widget arrives as its Enter
      MouseMoved(target, static_cast<QEnterEvent*>(event)->globalPosition().toPoint());
      break;
    default: break;
  }
  return false;
}

void TipBalloon::MouseMoved(QWidget* target, const QPoint& screenPos) {
  if (!target || !QApplication::focusWidget()) return;
  const TipEntry* entry = Entry(target);
  if (currentWindow_) {
    const QRect current(currentWindow_->mapToGlobal(QPoint(0, 0)), currentWindow_->size());
    if (current.contains(screenPos)) {
      if (!followCursor_ || !IsVisible()) return;
      const TipEntry* timing = entry ? entry : Entry(currentWindow_);
      if (timing) ShowAt(screenPos, timing->seconds);
      return;
    }
    HideBalloon();
    currentWindow_ = nullptr;
  }
  if (entry) PutOnShow(target, *entry, screenPos);
}

void TipBalloon::PutOnShow(QWidget* window, const TipEntry& entry, const QPoint& at) {
  textColour_ = entry.textColour;
  text_ = entry.text;
  title_ = entry.title;
  QScreen* screen = ScreenAt(at);
  Resize(FittingSize(screen ? screen->availableGeometry() : QRect(QPoint(0, 0), size_)));
  ShowAt(at, entry.seconds);
  currentWindow_ = window;
}

void TipBalloon::ShowAt(const QPoint& at, int seconds) {
  if (!window_) return;
  QScreen* screen = ScreenAt(at);
  const QRect area = screen ? screen->geometry() : QRect(QPoint(0, 0), shownSize_);
  int x = qMax(at.x(), area.left());
  int y = qMax(at.y(), area.top());
  if (y + shownSize_.height() > area.bottom() + 1) y = area.bottom() + 1 - shownSize_.height();
  if (x + shownSize_.width() > area.right() + 1) x = area.right() + 1 - shownSize_.width();
  window_->setGeometry(QRect(QPoint(x, y), shownSize_));
  window_->raise();
  window_->show();
  window_->update();
  StartHideTimer(seconds);
}

void TipBalloon::HideBalloon() {
  if (!IsVisible()) return;
  window_->hide();
  hideTimer_.stop();
}

void TipBalloon::StartHideTimer(int seconds) {
  hideTimer_.stop();
  if (seconds <= 0) return;
  hideTimer_.start(int(qMin<qint64>(qint64(seconds) * 1000, INT_MAX)));
}

bool TipBalloon::eventFilter(QObject* watched, QEvent* event) {
  // The balloon watches only its own window and the widgets it was asked to
  // relay; their events go the way an owner's widgets' do.
  return FilterEvent(watched, event);
}

TipBalloon::TextLayout TipBalloon::LayoutIn(const QRect& area) const {
  TextLayout layout;
  const QFontMetrics titleMetrics(titleFont_);
  const QString title = WithPlainLineBreaks(title_);
  layout.titleWrapped = !FitsOnOneLine(titleMetrics, title, area.width());
  layout.titleRect = area;
  const QSize titleExtent = Extent(titleMetrics, area, title, layout.titleWrapped);
  layout.titleHeight = titleExtent.height();
  layout.gap = titleMetrics.size(Qt::TextSingleLine, QStringLiteral("M")).height() / 2;
  layout.textRect = area.adjusted(0, layout.titleHeight + layout.gap, 0, 0);
  const QFontMetrics textMetrics(textFont_);
  const QString text = WithPlainLineBreaks(text_);
  layout.textWrapped = !FitsOnOneLine(textMetrics, text, layout.textRect.width());
  const QSize textExtent = Extent(textMetrics, layout.textRect, text, layout.textWrapped);
  layout.extent =
      QSize(qMax(titleExtent.width(), textExtent.width()), layout.titleHeight + layout.gap + textExtent.height());
  return layout;
}

void TipBalloon::Paint(QPainter& painter) const {
  const QRegion shape = tailRegion_ | bodyRegion_;
  painter.setClipRegion(shape);
  painter.fillRect(shape.boundingRect(), backColour_);
  painter.setClipRegion(Frame(shape));
  painter.fillRect(shape.boundingRect(), frameColour_);
  painter.setClipping(false);

  const TextLayout layout = LayoutText();
  painter.setPen(textColour_);
  painter.setFont(titleFont_);
  painter.drawText(layout.titleRect, TextFlags(layout.titleWrapped), WithPlainLineBreaks(title_));
  painter.setFont(textFont_);
  painter.drawText(layout.textRect, TextFlags(layout.textWrapped), WithPlainLineBreaks(text_));
}

}  // namespace vell
