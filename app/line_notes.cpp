#include "app/line_notes.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>
#include <algorithm>
#include <functional>
#include <vector>

#include "app/byte_text_edit.h"

namespace vell {

namespace {

constexpr int kPadding = 6;
constexpr int kTextMargin = 5;       // the box's own margins beside its text
constexpr double kMostOfBox = 0.45;  // the box's text keeps the rest
constexpr size_t kMeasured = 256;

QColor Blend(const QColor& a, const QColor& b, double share) {
  return QColor::fromRgbF(static_cast<float>(a.redF() * share + b.redF() * (1 - share)),
                          static_cast<float>(a.greenF() * share + b.greenF() * (1 - share)),
                          static_cast<float>(a.blueF() * share + b.blueF() * (1 - share)));
}

}  // namespace

LineNotes::LineNotes(ByteTextEdit* box) : QWidget(box), box_(box) {
  // The notes keep the window's own font, not the box's: they annotate what is typed.
  setFont(QApplication::font());
  box->installEventFilter(this);
  // Scroll bars that come and go move the text's right edge.
  viewport_ = box->viewport();
  viewport_->installEventFilter(this);
  // Scrolling and every change of the text's layout repaint the column.
  connect(box, &QPlainTextEdit::updateRequest, this, [this] { update(); });
  // A screen reader reads the note of the line the cursor is on.
  connect(box, &QPlainTextEdit::cursorPositionChanged, this, &LineNotes::DescribeCursorLine);
  hide();
}

void LineNotes::SetNotes(QList<Note> notes) {
  notes_ = std::move(notes);
  // Only the longest texts are measured: measuring every note of a long
  // sheet would cost more than resolving it, and a note a little wider than
  // its column is cut with an ellipsis all the same.
  std::vector<qsizetype> lengths;
  lengths.reserve(static_cast<size_t>(notes_.size()));
  for (const Note& note : std::as_const(notes_)) lengths.push_back(note.text.size());
  qsizetype least = 0;
  if (lengths.size() > kMeasured) {
    std::nth_element(lengths.begin(), lengths.begin() + kMeasured - 1, lengths.end(), std::greater<>());
    least = lengths[kMeasured - 1];
  }
  int widest = 0;
  size_t measured = 0;
  const QFontMetrics metrics(font());
  for (const Note& note : std::as_const(notes_)) {
    if (note.text.size() < least || measured == kMeasured) continue;
    widest = std::max(widest, metrics.horizontalAdvance(note.text));
    ++measured;
  }
  wanted_ = notes_.isEmpty() ? 0 : widest + 2 * kPadding;
  Place();
  update();
  DescribeCursorLine();
}

void LineNotes::DescribeCursorLine() {
  const QString note = NoteAt(box_->textCursor().blockNumber());
  if (accessibleDescription() != note) setAccessibleDescription(note);
}

QString LineNotes::NoteAt(int line) const {
  const Note* note = Find(line);
  return note ? note->text : QString();
}

const LineNotes::Note* LineNotes::Find(int line) const {
  const auto it = std::lower_bound(notes_.cbegin(), notes_.cend(), line,
                                   [](const Note& note, int wanted) { return note.line < wanted; });
  return it != notes_.cend() && it->line == line ? &*it : nullptr;
}

void LineNotes::Place() {
  const int width = std::min(wanted_, static_cast<int>(box_->width() * kMostOfBox));
  box_->SetMargins(kTextMargin, kTextMargin + width);
  if (width <= 0) {
    hide();
    return;
  }
  const QRect view = box_->viewport()->geometry();
  setGeometry(view.right() + 1 + kTextMargin, view.top(), width, view.height());
  show();
}

int LineNotes::LineAt(int y) const { return box_->cursorForPosition(QPoint(0, y)).blockNumber(); }

void LineNotes::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QPalette& colours = palette();
  painter.fillRect(rect(), colours.color(QPalette::AlternateBase));
  painter.setPen(colours.color(QPalette::Mid));
  painter.drawLine(0, 0, 0, height());
  const QColor base = colours.color(QPalette::Base);
  const bool dark = base.lightness() < 128;
  const QColor plain = Blend(colours.color(QPalette::Text), base, 0.7);
  const QColor alert = dark ? QColor(255, 128, 128) : QColor(176, 0, 32);
  const QFontMetrics metrics(font());
  // The first line in view, then down while the lines are in view.
  for (QTextBlock block = box_->cursorForPosition(QPoint(0, 0)).block(); block.isValid(); block = block.next()) {
    if (!block.isVisible()) continue;
    const QRect line = box_->cursorRect(QTextCursor(block));
    if (line.top() > height()) break;
    const Note* note = Find(block.blockNumber());
    if (note == nullptr) continue;
    painter.setPen(note->alert ? alert : plain);
    const QRect room(kPadding, line.top(), width() - 2 * kPadding, line.height());
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(note->text, Qt::ElideRight, room.width()));
  }
}

bool LineNotes::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    // A note cut at the column's edge is read whole in its tip.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = NoteAt(LineAt(help->pos().y()));
    if (text.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
  }
  return QWidget::event(event);
}

bool LineNotes::eventFilter(QObject* watched, QEvent* event) {
  // Only the event's type is looked at first: while the box is destroyed its
  // children still see its events, and it is no scroll area any more.
  if (event->type() == QEvent::Resize && (watched == box_ || watched == viewport_)) Place();
  return false;
}

}  // namespace vell
