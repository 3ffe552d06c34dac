#include "value_text.h"

#include <limits>

#include "number_text.h"

namespace vell {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::int32_t Saturate(long long v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// Accumulates decimal digits, stopping the growth once far beyond 32 bits.
long long AccumulateDigit(long long value, char digit) {
  if (value > 10000000000LL) return value;
  return value * 10 + (digit - '0');
}

// One "%d" field: white space, optional sign, at least one digit.
bool ScanInt(std::string_view text, std::size_t& i, std::int32_t& value) {
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  std::size_t j = i;
  if (j < text.size() && (text[j] == '+' || text[j] == '-')) negative = text[j++] == '-';
  if (j >= text.size() || !IsDigit(text[j])) return false;
  long long v = 0;
  while (j < text.size() && IsDigit(text[j])) v = AccumulateDigit(v, text[j++]);
  value = Saturate(negative ? -v : v);
  i = j;
  return true;
}

}  // namespace

std::string_view TrimWhiteSpaceSlowly(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsWhiteSpace(text[b])) ++b;
  while (e > b && IsWhiteSpace(text[e - 1])) --e;
  return text.substr(b, e - b);
}

void ToUpperAscii(std::string& text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

bool HasLowerAscii(std::string_view text) {
  for (char c : text)
    if (c >= 'a' && c <= 'z') return true;
  return false;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

bool IsNumeral(std::string_view text) {
  if (text.empty()) return false;
  const std::size_t last = text.size() - 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool accepted = IsDigit(c) || c == '.' || (i == 0 && c == '-') || (i == last && c == '%');
    if (!accepted) return false;
  }
  return true;
}

bool IsLetters(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  return true;
}

bool ApplyPercent(std::string_view numeral, std::string& out) {
  if (!numeral.empty() && numeral.back() == '%') {
    FormatNumber(ReadNumber(numeral.substr(0, numeral.size() - 1)) * 0.01, out);
  } else {
    out.assign(numeral.data(), numeral.size());
  }
  return true;
}

std::int32_t SplitTrailingNumber(std::string_view text, std::string& prefix) {
  std::size_t start = text.size();
  while (start > 1 && IsDigit(text[start - 1])) --start;
  prefix.assign(text.data(), start);
  long long v = 0;
  for (std::size_t i = start; i < text.size(); ++i) v = AccumulateDigit(v, text[i]);
  return Saturate(v);
}

bool ParseDate(std::string_view text, std::int32_t& day, std::int32_t& month, std::int32_t& year) {
  char separator;
  if (text.find('-') != std::string_view::npos) {
    separator = '-';
  } else if (text.find('/') != std::string_view::npos) {
    separator = '/';
  } else {
    return false;
  }
  std::int32_t fields[3];
  std::size_t i = 0;
  for (int f = 0; f < 3; ++f) {
    if (f > 0) {
      if (i >= text.size() || text[i] != separator) return false;
      ++i;
    }
    if (!ScanInt(text, i, fields[f])) return false;
  }
  day = fields[0];
  month = fields[1];
  year = fields[2];
  if (year < 38) {
    year += 2000;
  } else if (year < 1000) {
    year += 1900;
  }
  return true;
}

bool IsDate(std::string_view text) {
  std::int32_t d, m, y;
  return ParseDate(text, d, m, y);
}

void TrimTrailingZeros(std::string& text) {
  if (text.find('.') == std::string::npos) return;
  if (!text.empty() && text.front() != '0' && text.back() != '0') return;
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == '0' && !(b + 1 < e && text[b + 1] == '.')) ++b;
  while (e > b && text[e - 1] == '0' && !(e - 1 > b && text[e - 2] == '.')) --e;
  if (e - b >= 2 && text[e - 2] == '.' && text[e - 1] == '0') e -= 2;
  if (e == b) {
    text = "NIL";
  } else {
    text = text.substr(b, e - b);
  }
}

}  // namespace vell
