#include "app/ini_text.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringEncoder>
#include <QStringList>
#include <cstring>

namespace vell {

namespace {

// The control characters QSettings writes as \a, \b and so on, and reads.
constexpr char kControls[] = "\a\b\f\n\r\t\v";
constexpr char kControlLetters[] = "abfnrtv";

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Reads a value's bytes by QSettings' rules: blanks around items dropped
// unless quoted, backslash escapes, and commas outside quotes between the
// items of a list.
class ValueReader {
 public:
  explicit ValueReader(QByteArrayView bytes) : in_(bytes) {}

  // The text, or the items when the value is a list.
  QString text;
  QStringList items;
  bool isList = false;

  void Read() {
    SkipBlanks();
    while (at_ < in_.size()) {
      const char c = in_.at(at_);
      if (c == '\\') {
        if (!Escape()) return Finish();
      } else if (c == '"') {
        ++at_;
        quotedItem_ = true;
        inQuotes_ = !inQuotes_;
        if (!inQuotes_) SkipBlanks();
      } else if (c == ',' && !inQuotes_) {
        if (!quotedItem_) ChopBlanks();
        isList = true;
        items.append(text);
        text.clear();
        quotedItem_ = false;
        ++at_;
        SkipBlanks();
      } else {
        qsizetype end = at_ + 1;
        while (end < in_.size() && in_.at(end) != '\\' && in_.at(end) != '"' && in_.at(end) != ',') ++end;
        text += QString::fromUtf8(in_.sliced(at_, end - at_));
        at_ = end;
      }
    }
    if (!quotedItem_) ChopBlanks();
    Finish();
  }

 private:
  void SkipBlanks() {
    while (at_ < in_.size() && (in_.at(at_) == ' ' || in_.at(at_) == '\t')) ++at_;
    chopLimit_ = text.size();
  }

  void ChopBlanks() {
    while (text.size() > chopLimit_ && (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t'))))
      text.chop(1);
  }

  void Finish() {
    if (isList) items.append(text);
  }

  // After a backslash. False when the value ends within the escape: QSettings
  // then stops reading, without dropping trailing blanks.
  bool Escape() {
    if (++at_ == in_.size()) return false;
    const char c = in_.at(at_++);
    if (const char* letter = std::strchr(kControlLetters, c); letter && c != 0) {
      text += QLatin1Char(kControls[letter - kControlLetters]);
    } else if (c == '"' || c == '?' || c == '\'' || c == '\\') {
      text += QLatin1Char(c);
    } else if (c == 'x') {
      if (at_ == in_.size()) return false;
      if (DigitValue(in_.at(at_), 16) >= 0) return Number(0, 16);
    } else if (DigitValue(c, 8) >= 0) {
      return Number(char16_t(c - '0'), 8);
    }  // any other character is dropped
    chopLimit_ = text.size();
    return true;
  }

  bool Number(char16_t value, int base) {
    for (int digit; at_ < in_.size() && (digit = DigitValue(in_.at(at_), base)) >= 0; ++at_)
      value = char16_t(value * base + digit);
    text += QChar(value);
    chopLimit_ = text.size();
    return at_ < in_.size();
  }

  QByteArrayView in_;
  qsizetype at_ = 0;
  qsizetype chopLimit_ = 0;
  bool inQuotes_ = false;
  bool quotedItem_ = false;
};

// The text of one value that QSettings turns into a QVariant by its "@" forms.
std::optional<QString> VariantText(const QString& s) {
  if (!s.startsWith(QLatin1Char('@'))) return s;
  if (s.endsWith(QLatin1Char(')'))) {
    if (s.startsWith(QLatin1String("@ByteArray(")))
      return QString::fromUtf8(QStringView(s).sliced(11).chopped(1).toLatin1());
    if (s.startsWith(QLatin1String("@String("))) return s.sliced(8).chopped(1);
    if (s.startsWith(QLatin1String("@Variant("))) {
      QByteArray bytes = QStringView(s).sliced(9).toLatin1();
      QDataStream stream(&bytes, QIODevice::ReadOnly);
      stream.setVersion(QDataStream::Qt_4_0);
      QVariant value;
      stream >> value;
      if (!value.canConvert<QString>()) return std::nullopt;
      return value.toString();
    }
    // Geometry with the right number of parts reads as such, and is no text.
    for (const auto& [prefix, parts] : {std::pair{"@Rect(", 4}, {"@Size(", 2}, {"@Point(", 2}}) {
      if (s.startsWith(QLatin1String(prefix)) && s.count(QLatin1Char(' ')) + 1 == parts) return std::nullopt;
    }
    if (s == QLatin1String("@Invalid()")) return std::nullopt;
  }
  if (s.startsWith(QLatin1String("@@"))) return s.sliced(1);
  return s;
}

}  // namespace

QByteArray EscapedIniName(const QString& name) {
  static const char kHex[] = "0123456789ABCDEF";
  QByteArray out;
  for (const QChar qc : name) {
    const char16_t c = qc.unicode();
    if (c == '/') {
      out += '\\';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
               c == '.') {
      out += char(c);
    } else if (c <= 0xFF) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += "%U";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
    }
  }
  return out;
}

QString UnescapedIniName(QByteArrayView bytes) {
  const QString text = QString::fromUtf8(bytes);
  QString name;
  for (qsizetype i = 0; i < text.size();) {
    const QChar c = text.at(i);
    if (c == QLatin1Char('\\')) {
      name += QLatin1Char('/');
      ++i;
      continue;
    }
    if (c != QLatin1Char('%') || i + 1 == text.size()) {
      name += c;
      ++i;
      continue;
    }
    const bool wide = text.at(i + 1) == QLatin1Char('U');
    const qsizetype first = wide ? i + 2 : i + 1;
    const int digits = wide ? 4 : 2;
    bool ok = false;
    const ushort code = first + digits <= text.size() ? QStringView(text).mid(first, digits).toUShort(&ok, 16) : 0;
    if (!ok) {
      name += QLatin1Char('%');
      ++i;
      continue;
    }
    name += QChar(code);
    i = first + digits;
  }
  return name;
}

QByteArray EscapedIniValue(const QVariant& value) {
  // Text beginning with "@" gets another, text holding NUL goes inside
  // @String(); control characters, quotes and backslashes are escaped, and
  // quotes surround the text when it holds ";", "," or "=" or begins or ends
  // with a blank.
  QString text = value.toString();
  if (text.contains(QChar(0))) {
    text = QStringLiteral("@String(") + text + QLatin1Char(')');
  } else if (text.startsWith(QLatin1Char('@'))) {
    text.prepend(QLatin1Char('@'));
  }
  QByteArray out;
  out.reserve(text.size() + 8);
  QStringEncoder toUtf8(QStringEncoder::Utf8);
  bool quoted = false;
  bool numericEscape = false;  // a hex digit after it would be read as part of it
  for (const QChar qc : text) {
    const char16_t c = qc.unicode();
    if (c == ';' || c == ',' || c == '=') quoted = true;
    if (numericEscape && c < 0x80 && DigitValue(char(c), 16) >= 0) {
      out += "\\x" + QByteArray::number(c, 16);
      continue;
    }
    numericEscape = false;
    const char* control = c > 0 && c < 0x20 ? std::strchr(kControls, char(c)) : nullptr;
    if (c == 0) {
      out += "\\0";
      numericEscape = true;
    } else if (control) {
      out += '\\';
      out += kControlLetters[control - kControls];
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += char(c);
    } else if (c < 0x20) {
      out += "\\x" + QByteArray::number(c, 16);
      numericEscape = true;
    } else if (c < 0x80) {
      out += char(c);
    } else {
      out += toUtf8(QStringView(&qc, 1));
    }
  }
  if (quoted || out.startsWith(' ') || out.endsWith(' ')) out = '"' + out + '"';
  return out;
}

std::optional<QString> IniValueText(QByteArrayView bytes) {
  ValueReader reader(bytes);
  reader.Read();
  if (!reader.isList) return VariantText(reader.text);
  // An item with one "@" makes the list a list of variants, which is no text.
  for (QString& item : reader.items) {
    if (!item.startsWith(QLatin1Char('@'))) continue;
    if (!item.startsWith(QLatin1String("@@"))) return std::nullopt;
    item.remove(0, 1);
  }
  return reader.items.join(QLatin1String(", "));
}

}  // namespace vell
