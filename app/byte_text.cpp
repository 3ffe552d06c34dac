#include "app/byte_text.h"

namespace vell {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence at bytes[i] and its code point; 0 when
// the bytes there are not a valid, shortest-form sequence.
int SequenceAt(std::string_view bytes, size_t i, char32_t& code) {
  const auto lead = static_cast<unsigned char>(bytes[i]);
  int length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (int k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(bytes[i + k]);
    if (!IsContinuation(c)) return 0;
    code = (code << 6) | (c & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

bool IsEscape(char32_t code) { return code >= kByteEscapeBase && code <= kByteEscapeBase + 0xFF; }

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace

QString DecodeBytes(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  size_t i = 0;
  while (i < bytes.size()) {
    char32_t code = 0;
    const int length = SequenceAt(bytes, i, code);
    if (length == 0 || IsEscape(code)) {
      text.append(QChar(static_cast<char16_t>(kByteEscapeBase + static_cast<unsigned char>(bytes[i]))));
      ++i;
      continue;
    }
    if (code < 0x10000) {
      text.append(QChar(static_cast<char16_t>(code)));
    } else {
      text.append(QChar(QChar::highSurrogate(code)));
      text.append(QChar(QChar::lowSurrogate(code)));
    }
    i += static_cast<size_t>(length);
  }
  return text;
}

std::string EncodeText(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text.at(i).unicode();
    if (IsEscape(unit)) {
      out.push_back(static_cast<char>(unit - kByteEscapeBase));
    } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      AppendUtf8(out, QChar::surrogateToUcs4(unit, text.at(i + 1).unicode()));
      ++i;
    } else if (QChar::isSurrogate(unit)) {
      AppendUtf8(out, 0xFFFD);  // a lone half of a pair has no UTF-8 form
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace vell
