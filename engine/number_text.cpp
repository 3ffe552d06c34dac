#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace vell {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::size_t FormatNumberTo(double x, char* buffer) {
  if (!std::isfinite(x)) {
    buffer[0] = 'E';
    return 1;
  }
  char* p = buffer;
  if (std::signbit(x)) *p++ = '-';
  const double magnitude = std::fabs(x);
  if (magnitude == 0.0) {
    std::memcpy(p, "0.000000", 8);
    return static_cast<std::size_t>(p - buffer) + 8;
  }

  // 17 significant digits, d.dddddddddddddddde±X.
  char sci[32];
  const auto res = std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific, 16);
  char digits[17];
  digits[0] = sci[0];
  std::memcpy(digits + 1, sci + 2, 16);
  int exponent = 0;
  {
    const char* e = sci + 18;  // points at 'e'
    const bool negative = e[1] == '-';
    for (const char* q = e + 2; q < res.ptr; ++q) exponent = exponent * 10 + (*q - '0');
    if (negative) exponent = -exponent;
  }

  // Place the digits on a fixed grid: integer part and seven decimals (the
  // seventh decides the rounding). Digit k (0-based) has weight 10^(exponent-k).
  // Integer digits: exponent+1 (at least one "0").
  const int intDigits = exponent >= 0 ? exponent + 1 : 1;
  const int totalDigits = intDigits + 7;
  char grid[kMaxNumberText];
  for (int i = 0; i < totalDigits; ++i) {
    // grid position i has weight 10^(intDigits-1-i)
    const int weight = intDigits - 1 - i;
    const int k = exponent - weight;
    grid[i] = (k >= 0 && k < 17) ? digits[k] : '0';
  }
  int used = totalDigits - 1;  // drop the seventh decimal after rounding
  if (grid[totalDigits - 1] >= '5') {
    int i = used - 1;
    while (i >= 0 && grid[i] == '9') grid[i--] = '0';
    if (i >= 0) {
      ++grid[i];
    } else {
      std::memmove(grid + 1, grid, static_cast<std::size_t>(used));
      grid[0] = '1';
      ++used;
    }
  }
  const int intCount = used - 6;
  std::memcpy(p, grid, static_cast<std::size_t>(intCount));
  p += intCount;
  *p++ = '.';
  std::memcpy(p, grid + intCount, 6);
  p += 6;
  return static_cast<std::size_t>(p - buffer);
}

void FormatNumber(double x, std::string& out) {
  char buffer[kMaxNumberText];
  out.assign(buffer, FormatNumberTo(x, buffer));
}

double ReadNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t mantissaStart = i;
  std::size_t digitCount = 0;
  std::size_t leadingIntDigits = 0;  // significant integer digits, for overflow
  bool seenNonZero = false;
  while (i < n && IsDigit(text[i])) {
    if (text[i] != '0') seenNonZero = true;
    if (seenNonZero) ++leadingIntDigits;
    ++i;
    ++digitCount;
  }
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) {
      ++i;
      ++digitCount;
    }
  }
  if (digitCount == 0) return 0.0;
  const std::size_t mantissaEnd = i;

  // Optional exponent; only taken when at least one digit follows.
  std::size_t exponentDigitsStart = 0, exponentEnd = 0;
  bool exponentNegative = false;
  if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) {
      exponentNegative = text[j] == '-';
      ++j;
    }
    if (j < n && IsDigit(text[j])) {
      exponentDigitsStart = j;
      while (j < n && IsDigit(text[j])) ++j;
      exponentEnd = j;
    }
  }

  // from_chars wants "digits[.digits][e[-]digits]"; rebuild the exponent with 'e'.
  std::string scratch;
  const char* first = text.data() + mantissaStart;
  const char* last = text.data() + mantissaEnd;
  if (exponentEnd != 0) {
    scratch.reserve(mantissaEnd - mantissaStart + exponentEnd - exponentDigitsStart + 2);
    scratch.append(first, last);
    scratch.push_back('e');
    if (exponentNegative) scratch.push_back('-');
    scratch.append(text.data() + exponentDigitsStart, text.data() + exponentEnd);
    first = scratch.data();
    last = scratch.data() + scratch.size();
  }
  double value = 0.0;
  const auto res = std::from_chars(first, last, value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: decide which by the decimal magnitude.
    long long exponent = 0;
    for (std::size_t k = exponentDigitsStart; k < exponentEnd && exponent < 100000000; ++k)
      exponent = exponent * 10 + (text[k] - '0');
    if (exponentNegative) exponent = -exponent;
    long long magnitude = static_cast<long long>(leadingIntDigits) + exponent;
    if (leadingIntDigits == 0) {
      // 0.000ddd: count the zeros after the point.
      std::size_t k = mantissaStart;
      while (k < mantissaEnd && text[k] != '.') ++k;
      long long zeros = 0;
      for (++k; k < mantissaEnd && text[k] == '0'; ++k) ++zeros;
      magnitude = exponent - zeros;
    }
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace vell

namespace vell {

std::string IntegerText(long long value) {
  char buffer[24];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, res.ptr);
}

}  // namespace vell
