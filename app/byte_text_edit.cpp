#include "app/byte_text_edit.h"

#include <QKeyEvent>
#include <QTextDocument>
#include <algorithm>

namespace vell {

namespace {

// The text as the document holds it: every line break one line feed. The
// document breaks lines at CR LF, a lone CR, LF, the paragraph separator and
// its two frame marks. With starts (one entry a unit of text), the entries
// of the units that merge into one break are dropped alike.
QString AsDocument(const QString& text, std::vector<size_t>* starts) {
  QString out;
  out.reserve(text.size());
  size_t kept = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text.at(i).unicode();
    if (starts != nullptr) (*starts)[kept++] = (*starts)[static_cast<size_t>(i)];
    if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
    const bool lineBreak = c == u'\r' || c == u'\n' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
    out.append(lineBreak ? QChar(u'\n') : QChar(c));
  }
  if (starts != nullptr) starts->resize(kept);
  return out;
}

}  // namespace

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
  encoding_ = IsUtf8(bytes) ? TextEncoding::kUtf8 : TextEncoding::kWindows1252;
  bytes_ = std::move(bytes);
  const QString decoded = DecodeBytes(bytes_, &starts_);
  setPlainText(decoded);
  shown_ = Shown();
  if (AsDocument(decoded, &starts_) != shown_) starts_.clear();
}

std::string ByteTextEdit::Bytes() const {
  const QString shown = Shown();
  if (shown == shown_) return bytes_;
  qsizetype prefix = 0;
  qsizetype suffix = 0;
  const TextEncoding encoding = EditEncoding(shown, prefix, suffix);
  // Written bytes must read back as the text shown. Bytes of the edit could
  // join the kept bytes around them (a lone CR before a new line, Windows-1252
  // bytes that form UTF-8): then the edit is written in UTF-8, and failing
  // that the whole text is written afresh.
  std::string out;
  for (const bool keep : {true, false}) {
    for (const TextEncoding tried : {encoding, TextEncoding::kUtf8}) {
      out = keep ? Splice(shown, prefix, suffix, tried) : Splice(shown, 0, 0, tried);
      if (AsDocument(DecodeBytes(out), nullptr) == shown) return out;
    }
  }
  return out;
}

TextEncoding ByteTextEdit::encoding() const {
  const QString shown = Shown();
  if (shown == shown_) return encoding_;
  qsizetype prefix = 0;
  qsizetype suffix = 0;
  return EditEncoding(shown, prefix, suffix);
}

TextEncoding ByteTextEdit::EditEncoding(const QString& shown, qsizetype& prefix, qsizetype& suffix) const {
  // Text that replaced all of the loaded text is a new text: UTF-8.
  const bool replaced = CommonEnds(shown, prefix, suffix) && prefix == 0 && suffix == 0;
  return replaced ? TextEncoding::kUtf8 : encoding_;
}

bool ByteTextEdit::CommonEnds(const QString& shown, qsizetype& prefix, qsizetype& suffix) const {
  // The text both ends have in common keeps its bytes, without splitting a
  // surrogate pair.
  prefix = 0;
  suffix = 0;
  if (starts_.size() != static_cast<size_t>(shown_.size())) return false;
  const qsizetype most = std::min(shown.size(), shown_.size());
  while (prefix < most && shown.at(prefix) == shown_.at(prefix)) ++prefix;
  while (suffix < most - prefix && shown.at(shown.size() - 1 - suffix) == shown_.at(shown_.size() - 1 - suffix))
    ++suffix;
  if (prefix > 0 && shown_.at(prefix - 1).isHighSurrogate()) --prefix;
  if (suffix > 0 && shown_.at(shown_.size() - suffix).isLowSurrogate()) --suffix;
  return true;
}

size_t ByteTextEdit::ByteAt(qsizetype shown) const {
  const auto index = static_cast<size_t>(shown);
  return index < starts_.size() ? starts_[index] : bytes_.size();
}

std::string ByteTextEdit::Splice(const QString& shown, qsizetype prefix, qsizetype suffix,
                                 TextEncoding encoding) const {
  const size_t head = prefix > 0 ? ByteAt(prefix) : 0;
  const size_t tail = suffix > 0 ? ByteAt(shown_.size() - suffix) : bytes_.size();
  std::string out = bytes_.substr(0, head);
  const std::string middle = EncodeText(QStringView(shown).mid(prefix, shown.size() - prefix - suffix), encoding);
  out.reserve(head + middle.size() + (bytes_.size() - tail));
  for (const char c : middle) {
    if (c == '\n') {
      out += lineEnd_;
    } else {
      out.push_back(c);
    }
  }
  out.append(bytes_, tail, std::string::npos);
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
