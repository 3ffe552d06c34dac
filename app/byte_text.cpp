#include "app/byte_text.h"

#include <array>

namespace vell {

namespace {

// Windows-1252 for the bytes 0x80 to 0x9F; the rest of the high half is
// Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                       0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Windows1252Char(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

// The Windows-1252 byte of a character; -1 when the code page has none.
int Windows1252Byte(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  for (size_t k = 0; k < kWindows1252High.size(); ++k)
    if (kWindows1252High[k] == code) return static_cast<int>(0x80 + k);
  return -1;
}

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

QString DecodeBytes(std::string_view bytes, std::vector<size_t>* starts) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  if (starts != nullptr) {
    starts->clear();
    starts->reserve(bytes.size());
  }
  size_t i = 0;
  while (i < bytes.size()) {
    char32_t code = 0;
    int length = SequenceAt(bytes, i, code);
    if (length == 0) {
      code = Windows1252Char(static_cast<unsigned char>(bytes[i]));
      length = 1;
    }
    if (code < 0x10000) {
      text.append(QChar(static_cast<char16_t>(code)));
      if (starts != nullptr) starts->push_back(i);
    } else {
      text.append(QChar(QChar::highSurrogate(code)));
      text.append(QChar(QChar::lowSurrogate(code)));
      if (starts != nullptr) starts->insert(starts->end(), 2, i);
    }
    i += static_cast<size_t>(length);
  }
  return text;
}

bool IsUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    char32_t code = 0;
    const int length = SequenceAt(bytes, i, code);
    if (length == 0) return false;
    i += static_cast<size_t>(length);
  }
  return true;
}

std::string EncodeText(QStringView text, TextEncoding encoding) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text.at(i).unicode();
    char32_t code = unit;
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      code = QChar::surrogateToUcs4(unit, text.at(i + 1).unicode());
      ++i;
    } else if (QChar::isSurrogate(unit)) {
      code = 0xFFFD;  // a lone half of a pair has no UTF-8 form
    }
    const int byte = encoding == TextEncoding::kWindows1252 ? Windows1252Byte(code) : -1;
    if (byte >= 0) {
      out.push_back(static_cast<char>(byte));
    } else {
      AppendUtf8(out, code);
    }
  }
  return out;
}

}  // namespace vell
