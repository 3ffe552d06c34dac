#include "app/byte_text_edit.h"

#include <QKeyEvent>
#include <QTextDocument>

#include "app/byte_text.h"

namespace vell {

ByteTextEdit::ByteTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabChangesFocus(true);  // Tab moves on, as in any dialog
  // The margins beside the text are part of the box, not of the page.
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
}

void ByteTextEdit::SetBytes(std::string bytes) {
  const size_t lf = bytes.find('\n');
  if (lf != std::string::npos) lineEnd_ = (lf > 0 && bytes[lf - 1] == '\r') ? "\r\n" : "\n";
  bytes_ = std::move(bytes);
  setPlainText(DecodeBytes(bytes_));
  shown_ = Shown();
}

std::string ByteTextEdit::Bytes() const {
  const QString shown = Shown();
  if (shown == shown_) return bytes_;
  std::string out;
  const std::string text = EncodeText(shown);
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\n') {
      out += lineEnd_;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

void ByteTextEdit::keyPressEvent(QKeyEvent* event) {
  // Shift+Enter would insert a Unicode line separator, which no variable
  // sheet understands: make it a plain line break.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & Qt::ShiftModifier)) {
    QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text());
    QPlainTextEdit::keyPressEvent(&plain);
    event->setAccepted(plain.isAccepted());
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

QString ByteTextEdit::Shown() const {
  // The raw text keeps no-break spaces, which toPlainText() would turn into blanks.
  QString text = document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

}  // namespace vell
