#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vell {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Writes "whole.micro" with micro as six digits; returns the length.
std::size_t WriteFixed(std::uint64_t whole, std::uint64_t micro, char* out) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char digits[24];
  int n = 24;
  while (whole >= 100) {
    const std::size_t pair = static_cast<std::size_t>(whole % 100) * 2;
    whole /= 100;
    digits[--n] = kPairs[pair + 1];
    digits[--n] = kPairs[pair];
  }
  if (whole >= 10) {
    digits[--n] = kPairs[whole * 2 + 1];
    digits[--n] = kPairs[whole * 2];
  } else {
    digits[--n] = static_cast<char>('0' + whole);
  }
  const std::size_t length = static_cast<std::size_t>(24 - n);
  std::memcpy(out, digits + n, length);
  char* p = out + length;
  *p = '.';
  for (int i = 3; i-- > 0;) {
    const std::size_t pair = static_cast<std::size_t>(micro % 100) * 2;
    micro /= 100;
    p[1 + 2 * i] = kPairs[pair];
    p[2 + 2 * i] = kPairs[pair + 1];
  }
  return length + 7;
}

// x's fraction (x < 2^53, its last bit at least 2^-62) times 10^scale
// (scale <= 7), exactly: the whole part and what is left in units of 2^-64.
void ScaleFraction(double x, double whole, std::uint64_t scale, std::uint64_t& scaled, std::uint64_t& rest) {
  const std::uint64_t fraction = static_cast<std::uint64_t>((x - whole) * 0x1p64);  // exact: a power of two
  const std::uint64_t high = (fraction >> 32) * scale;
  const std::uint64_t low = (fraction & 0xffffffffu) * scale;
  const std::uint64_t middle = high + (low >> 32);
  scaled = middle >> 32;
  rest = (middle << 32) | (low & 0xffffffffu);
}

std::size_t FormatInto(double x, char* buffer, double* number);

constexpr std::uint64_t kHalf = 0x8000000000000000u;  // 1/2 in units of 2^-64

// The common cases without the general 17-digit detour, exactly as it
// rounds; false when x needs the detour.
// - 2^-10 <= x < 10^9: the 17 digits reach past the seventh decimal, so they
//   change the six-decimal cut only when x * 10^6 lies within 0.005 of a half.
// - 10^9 <= x < 2^53: the 17 digits keep 17 - (integer digits) decimals,
//   rounded to nearest (ties to even), then cut to six.
// - 2^53 <= x < 2^64: a whole number, rounded to 17 digits.
bool FastFixed(double x, std::uint64_t& whole, std::uint64_t& micro) {
  static constexpr std::uint64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
  if (!(x >= 0x1p-10 && x < 0x1p64)) return false;
  if (x >= 0x1p53) {
    // A whole number; beyond 17 digits it is rounded to 17 (ties to even).
    whole = static_cast<std::uint64_t>(x);
    micro = 0;
    if (whole >= 100000000000000000u) {
      std::uint64_t drop = 10;
      while (whole / drop >= 100000000000000000u) drop *= 10;
      std::uint64_t kept = whole / drop;
      const std::uint64_t rest = whole % drop;
      if (rest > drop / 2 || (rest == drop / 2 && (kept & 1) != 0)) ++kept;
      whole = kept * drop;  // x < 2^64 - 2048 and the rounding moves it by at most drop / 2
    }
    return true;
  }
  whole = static_cast<std::uint64_t>(x);  // truncates
  const double truncated = static_cast<double>(whole);
  std::uint64_t scaled, rest;
  if (x < 1e9) {
    ScaleFraction(x, truncated, 1000000u, scaled, rest);
    constexpr std::uint64_t kMargin = 0x028f5c28f5c28f5cu;  // 0.01 in 2^-64, twice what is needed
    if (rest >= kHalf - kMargin && rest <= kHalf + kMargin) return false;
    micro = scaled + (rest >= kHalf ? 1 : 0);
  } else {
    int integerDigits = 10;
    for (std::uint64_t p = 10000000000u; whole >= p; p *= 10) ++integerDigits;
    const int decimals = 17 - integerDigits;  // 1 to 7
    const std::uint64_t scale = kPowers[decimals];
    ScaleFraction(x, truncated, scale, scaled, rest);
    if (rest > kHalf || (rest == kHalf && (scaled & 1) != 0)) ++scaled;
    if (decimals == 7) {
      micro = scaled / 10 + (scaled % 10 >= 5 ? 1 : 0);
    } else {
      micro = scaled * kPowers[6 - decimals];
    }
  }
  if (micro >= 1000000u) {
    micro -= 1000000u;
    ++whole;
  }
  return true;
}

// Digits with at most one ".": exact when, without leading and trailing
// zeros, the digits form an integer below 2^53 scaled by at most 10^22 either
// way, since then one correctly rounded operation with an exact power of ten
// gives the nearest double.
bool QuickDecimal(std::string_view digits, double& value) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  std::size_t end = digits.size();
  int exponent = 0;  // power of ten the integer is scaled by
  const std::size_t point = digits.find('.');
  if (point != std::string_view::npos) {
    while (end > point + 1 && digits[end - 1] == '0') --end;
    exponent = -static_cast<int>(end - point - 1);
    if (end == point + 1) end = point;  // no decimals left
  }
  if (end == digits.size() || point == std::string_view::npos || end == point) {
    // Trailing zeros of the integer part scale up instead.
    const std::size_t intEnd = point == std::string_view::npos ? end : std::min(end, point);
    if (end == intEnd) {
      while (end > 0 && digits[end - 1] == '0') {
        --end;
        ++exponent;
      }
    }
  }
  std::uint64_t mantissa = 0;
  for (std::size_t i = 0; i < end; ++i) {
    const char c = digits[i];
    if (c == '.') continue;
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    if (mantissa > (std::uint64_t{1} << 53)) return false;
  }
  if (exponent > 22 || exponent < -22) return false;
  const double m = static_cast<double>(mantissa);
  value = exponent >= 0 ? m * kPowers[exponent] : m / kPowers[-exponent];
  return true;
}

}  // namespace

std::size_t FormatNumberTo(double x, char* buffer) { return FormatInto(x, buffer, nullptr); }

double RoundAsWritten(double x) {
  // A number that is not finite is written "E", which reads as 0.
  if (!std::isfinite(x)) return 0.0;
  const double magnitude = std::fabs(x);
  if (magnitude < 4e-7) return std::signbit(x) ? -0.0 : 0.0;
  std::uint64_t whole, micro;
  const bool fast = FastFixed(magnitude, whole, micro);
  if (fast && whole < 9000000000u) {
    const double read = static_cast<double>(whole * 1000000u + micro) / 1e6;
    return std::signbit(x) ? -read : read;
  }
  // Eleven or more integer digits: the text holds x's 17 significant digits.
  if (magnitude >= 1e10) return x;
  char buffer[kMaxNumberText];
  double number;
  FormatInto(x, buffer, &number);
  return number;
}

double FormatNumberAndRead(double x, std::string& out) {
  char buffer[kMaxNumberText];
  double number;
  out.assign(buffer, FormatInto(x, buffer, &number));
  return number;
}

namespace {

// Writes x into buffer; with number, also what the text reads as.
std::size_t FormatInto(double x, char* buffer, double* number) {
  if (!std::isfinite(x)) {
    buffer[0] = 'E';
    if (number != nullptr) *number = 0.0;
    return 1;
  }
  char* p = buffer;
  if (std::signbit(x)) *p++ = '-';
  const double magnitude = std::fabs(x);
  if (magnitude < 4e-7) {
    // Rounds to zero however its 17 digits read. The text is counted, not
    // terminated.
    std::memcpy(p, "0.000000", 8);  // NOLINT(bugprone-not-null-terminated-result)
    if (number != nullptr) *number = std::signbit(x) ? -0.0 : 0.0;
    return static_cast<std::size_t>(p - buffer) + 8;
  }
  std::uint64_t whole, micro;
  if (FastFixed(magnitude, whole, micro)) {
    const std::size_t length = static_cast<std::size_t>(p - buffer) + WriteFixed(whole, micro, p);
    if (number != nullptr) {
      if (whole < 9000000000u) {
        // Fewer than 2^53 millionths: one exact division reads them back.
        const double read = static_cast<double>(whole * 1000000u + micro) / 1e6;
        *number = std::signbit(x) ? -read : read;
      } else if (magnitude >= 1e10) {
        // Eleven or more integer digits: the text is x's 17 significant
        // digits unchanged, and 17 digits always read back as x.
        *number = x;
      } else {
        *number = ReadNumber(std::string_view(buffer, length));
      }
    }
    return length;
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
  const std::size_t length = static_cast<std::size_t>(p - buffer);
  if (number != nullptr) *number = magnitude >= 1e10 ? x : ReadNumber(std::string_view(buffer, length));
  return length;
}

}  // namespace

void FormatNumber(double x, std::string& out) {
  char buffer[kMaxNumberText];
  out.assign(buffer, FormatNumberTo(x, buffer));
}

namespace {

// The complete reading: any length, exponents, overflow and underflow.
double ReadNumberInFull(std::string_view text) {
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
  const bool hasExponent =
      i + 1 < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D') &&
      (IsDigit(text[i + 1]) || (i + 2 < n && (text[i + 1] == '+' || text[i + 1] == '-') && IsDigit(text[i + 2])));
  double quick;
  if (!hasExponent && QuickDecimal(text.substr(mantissaStart, mantissaEnd - mantissaStart), quick))
    return negative ? -quick : quick;

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

}  // namespace

// One pass over the common shapes ("-12.5", "3.000000", "007"); everything
// else, and anything it cannot read exactly, goes to the full reading.
double ReadNumber(std::string_view text) {
  static constexpr std::uint64_t kPowers[] = {1u,
                                              10u,
                                              100u,
                                              1000u,
                                              10000u,
                                              100000u,
                                              1000000u,
                                              10000000u,
                                              100000000u,
                                              1000000000u,
                                              10000000000u,
                                              100000000000u,
                                              1000000000000u,
                                              10000000000000u,
                                              100000000000000u,
                                              1000000000000000u,
                                              10000000000000000u,
                                              100000000000000000u,
                                              1000000000000000000u};
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 53;
  const std::size_t n = text.size();
  std::size_t i = 0;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::uint64_t mantissa = 0;
  bool any = false;
  while (i < n && IsDigit(text[i])) {
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i++] - '0');
    if (mantissa > kLimit) return ReadNumberInFull(text);
    any = true;
  }
  int decimals = 0;
  if (i < n && text[i] == '.') {
    ++i;
    int zeros = 0;  // pending zeros: trailing ones never reach the mantissa
    while (i < n && IsDigit(text[i])) {
      const char c = text[i++];
      any = true;
      if (c == '0') {
        ++zeros;
        continue;
      }
      if (decimals + zeros + 1 > 18 || mantissa > kLimit / kPowers[zeros + 1]) return ReadNumberInFull(text);
      mantissa = mantissa * kPowers[zeros + 1] + static_cast<std::uint64_t>(c - '0');
      if (mantissa > kLimit) return ReadNumberInFull(text);
      decimals += zeros + 1;
      zeros = 0;
    }
  }
  if (!any || (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D'))) {
    // No digits here may still be white space before a number; exponents take the full reading.
    return ReadNumberInFull(text);
  }
  // Both exact doubles: one correctly rounded division gives the nearest double.
  const double value = static_cast<double>(mantissa) / static_cast<double>(kPowers[decimals]);
  return negative ? -value : value;
}

bool ReadPlainNumeral(std::string_view text, double& value) {
  static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::uint64_t mantissa = 0;
  std::size_t digits = 0;
  std::size_t point = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
    if (digit <= 9) {
      mantissa = mantissa * 10 + digit;  // used only while it holds 15 digits at most
      ++digits;
      continue;
    }
    if (text[i] != '.') return false;
    if (point != std::string_view::npos) {
      // A second point ends the number ReadNumber reads; the rest still has to be plain.
      for (std::size_t k = i + 1; k < text.size(); ++k)
        if (!IsDigit(text[k]) && text[k] != '.') return false;
      value = ReadNumber(text);
      return true;
    }
    point = i;
  }
  if (digits == 0 || digits > 15) {
    if (text.empty()) return false;
    value = ReadNumber(text);
    return true;
  }
  // Both exact: one correctly rounded division, as ReadNumber does (trailing
  // zeros scale both sides alike).
  const std::size_t decimals = point == std::string_view::npos ? 0 : text.size() - point - 1;
  value = static_cast<double>(mantissa) / kTens[decimals];
  return true;
}

}  // namespace vell

namespace vell {

std::string IntegerText(long long value) {
  char buffer[24];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, res.ptr);
}

}  // namespace vell
