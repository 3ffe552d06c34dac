#include "components/link_static.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "platform/message_box.h"
#include "platform/open_document.h"
#include "platform/system_services.h"

CLinkStatic::CLinkStatic(const QString& text, QWidget* parent) : QLabel(text, parent) {
  hoverColour = palette().color(QPalette::Active, QPalette::Highlight);
  // A static control starts at its top left corner; QLabel would centre vertically.
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

CLinkStatic::~CLinkStatic() = default;

void CLinkStatic::Attach() {
  if (target_.isEmpty()) target_ = text();
  if (text().isEmpty()) setText(target_);
  QFont linkFont = font();
  linkFont.setUnderline(underline);
  setFont(linkFont);
  setMouseTracking(true);
  attached_ = true;
  FitToText();
  LoadHandCursor();
  setToolTip(target_);
}

void CLinkStatic::SetTarget(const QString& address) {
  target_ = address;
  if (!attached_) return;
  FitToText();
  setToolTip(address);
}

void CLinkStatic::MarkVisited(bool flag) {
  visited_ = flag;
  if (attached_) update();
}

void CLinkStatic::FitToText() {
  if (!attached_ || !sizeToText) return;
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

void CLinkStatic::LoadHandCursor() {
  if (handCursor_) return;
  setCursor(Qt::PointingHandCursor);
  handCursor_ = true;
}

QColor CLinkStatic::CurrentColour() const {
  if (hovering_) return hoverColour;
  return visited_ ? visitedColour : linkColour;
}

void CLinkStatic::paintEvent(QPaintEvent*) {
  // No background of its own: the parent shows through.
  QPainter painter(this);
  painter.setPen(CurrentColour());
  painter.setFont(font());
  painter.drawText(contentsRect(), int(alignment()), text());
}

void CLinkStatic::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  SetHovering(true);
}

void CLinkStatic::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  SetHovering(false);
}

void CLinkStatic::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  SetHovering(rect().contains(event->position().toPoint()));
}

void CLinkStatic::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void CLinkStatic::mouseReleaseEvent(QMouseEvent* event) {
  const bool click =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click && attached_) Clicked();
}

void CLinkStatic::SetHovering(bool hovering) {
  if (hovering == hovering_) return;
  hovering_ = hovering;
  repaint();
}

void CLinkStatic::Clicked() {
  const vell::platform::OpenResult result = OpenTarget(target_);
  visited_ = result == vell::platform::OpenResult::kOpened;
  if (visited_) {
    MarkVisited(true);
    return;
  }
  update();
  vell::platform::Services().Beep();
  ShowOpenError(result);
}

vell::platform::OpenResult CLinkStatic::OpenTarget(const QString& address) {
  const vell::platform::OpenResult result = vell::platform::OpenDocument(address);
  if (result == vell::platform::OpenResult::kOpened) return result;
  return vell::platform::OpenWithHtmlHandler(address, result);
}

void CLinkStatic::ShowOpenError(vell::platform::OpenResult result) {
  vell::platform::ShowAppMessage(OpenErrorMessage(result));
}

QString CLinkStatic::OpenErrorMessage(vell::platform::OpenResult result) {
  using vell::platform::OpenResult;
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
