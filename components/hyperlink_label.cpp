#include "components/hyperlink_label.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <cmath>

#include "platform/message_box.h"
#include "platform/open_document.h"
#include "platform/system_services.h"

namespace vell {

namespace {

using platform::OpenResult;

// What the user is told when the link cannot be opened, for each reason.
QString OpenFailureMessage(OpenResult result) {
  QString reason;
  switch (result) {
    case OpenResult::kOpened: break;
    case OpenResult::kFileNotFound: reason = QStringLiteral("The specified file was not found."); break;
    case OpenResult::kPathNotFound: reason = QStringLiteral("The specified path was not found."); break;
    case OpenResult::kAccessDenied:
      reason = QStringLiteral("The operating system denied\naccess to the specified file.");
      break;
    case OpenResult::kBadFormat:
      reason = QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
      break;
    case OpenResult::kNoAssociation:
      reason = QStringLiteral("There is no application associated\nwith the given filename extension.");
      break;
  }
  return QStringLiteral("Unable to open hyperlink:\n\n") + reason;
}

// Relative luminance of a colour on an sRGB screen, 0 for black to 1 for white.
double Luminance(const QColor& colour) {
  const auto channel = [](float c) { return c <= 0.03928F ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  const QColor rgb = colour.toRgb();
  return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

// Text this much brighter than its background reads comfortably.
constexpr double kReadableContrast = 4.5;

double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// colour, mixed with more and more white until it stands out on a dark background.
QColor ReadableOn(const QColor& background, QColor colour) {
  colour = colour.toRgb();
  for (int step = 0; step < 10 && Contrast(colour, background) < kReadableContrast; ++step) {
    colour = QColor::fromRgbF(colour.redF() + (1 - colour.redF()) / 4, colour.greenF() + (1 - colour.greenF()) / 4,
                              colour.blueF() + (1 - colour.blueF()) / 4);
  }
  return Contrast(colour, background) < kReadableContrast ? QColor(Qt::white) : colour;
}

// Opens address, falling back to the default text/html application.
OpenResult OpenWithFallback(const QString& address) {
  const OpenResult result = platform::OpenDocument(address);
  if (result == OpenResult::kOpened) return result;
  return platform::OpenWithHtmlHandler(address, result);
}

}  // namespace

HyperlinkLabel::HyperlinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  TakeColoursFromPalette();
  // The text starts at the top left unless told otherwise; QLabel would centre it vertically.
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

HyperlinkLabel::~HyperlinkLabel() = default;

void HyperlinkLabel::Attach() {
  if (target_.isEmpty()) target_ = text();
  if (text().isEmpty()) setText(target_);
  QFont linkFont = font();
  linkFont.setUnderline(underline_);
  setFont(linkFont);
  setMouseTracking(true);
  // Tab reaches the link; a click leaves the focus where it was.
  setFocusPolicy(Qt::TabFocus);
  attached_ = true;
  FitToText();
  setCursor(Qt::PointingHandCursor);
  setToolTip(target_);
}

void HyperlinkLabel::SetTarget(const QString& address) {
  target_ = address;
  if (!attached_) return;
  FitToText();
  setToolTip(address);
}

void HyperlinkLabel::MarkVisited(bool flag) {
  visited_ = flag;
  if (attached_) update();
}

void HyperlinkLabel::FitToText() {
  if (!attached_ || !sizeToText_) return;
  // Edges as left/top inclusive, right/bottom exclusive.
  const QRect r = geometry();
  int left = r.x(), top = r.y(), right = r.x() + r.width(), bottom = r.y() + r.height();
  const QFontMetrics metrics(font());
  const int textWidth = metrics.horizontalAdvance(text());
  const int textHeight = metrics.height();
  const Qt::Alignment align = alignment();
  if (align & Qt::AlignVCenter) {
    const int d = (bottom - top - textHeight) / 2;
    top += d;
    bottom -= d;
  } else {
    bottom = top + textHeight;
  }
  if (align & Qt::AlignHCenter) {
    const int d = (right - left - textWidth) / 2;
    left += d;
    right -= d;
  } else if (align & Qt::AlignRight) {
    left = right - textWidth;
  } else {
    right = left + textWidth;
  }
  setGeometry(left, top, right - left, bottom - top);
}

void HyperlinkLabel::TakeColoursFromPalette() {
  const QColor background = palette().color(QPalette::Window);
  const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
  if (background.lightness() >= 128) {
    linkColour_ = QColor(0, 0, 238);
    visitedColour_ = QColor(85, 26, 139);
    hoverColour_ = highlight;
    return;
  }
  // The classic blue and purple all but vanish on a dark background.
  linkColour_ = ReadableOn(background, palette().color(QPalette::Link));
  visitedColour_ = ReadableOn(background, palette().color(QPalette::LinkVisited));
  hoverColour_ = ReadableOn(background, highlight);
}

QColor HyperlinkLabel::CurrentColour() const {
  if (hovering_) return hoverColour_;
  return visited_ ? visitedColour_ : linkColour_;
}

void HyperlinkLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
    TakeColoursFromPalette();
    update();
  }
}

void HyperlinkLabel::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool opens = attached_ && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
                     (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space);
  // Any other key is the dialog's, Escape among them.
  if (!opens) {
    QLabel::keyPressEvent(event);
    return;
  }
  event->accept();
  if (!event->isAutoRepeat()) Open();  // a held key opens the link once
}

void HyperlinkLabel::paintEvent(QPaintEvent*) {
  // No background of its own: the parent shows through.
  QPainter painter(this);
  painter.setPen(CurrentColour());
  painter.setFont(font());
  painter.drawText(contentsRect(), int(alignment()), text());
  if (!hasFocus()) return;
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  focus.backgroundColor = palette().color(QPalette::Window);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void HyperlinkLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  SetHovering(true);
}

void HyperlinkLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  SetHovering(false);
}

void HyperlinkLabel::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  SetHovering(rect().contains(event->position().toPoint()));
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click && attached_) Open();
}

void HyperlinkLabel::SetHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  repaint();
}

void HyperlinkLabel::Open() {
  const OpenResult result = OpenWithFallback(target_);
  MarkVisited(result == OpenResult::kOpened);
  if (visited_) return;
  platform::Services().Beep();
  platform::ShowAppMessage(OpenFailureMessage(result));
}

}  // namespace vell
