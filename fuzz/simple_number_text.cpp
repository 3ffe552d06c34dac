#include "simple_number_text.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vell::fuzzing {

namespace {

std::int32_t Saturate(long v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

// Adds one to a string of decimal digits.
void Increment(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

}  // namespace

std::string SimpleFormatNumber(double x) {
  if (!std::isfinite(x)) return "E";
  char sci[64];
  std::snprintf(sci, sizeof sci, "%.16e", std::fabs(x));
  const std::string digits = std::string(1, sci[0]) + std::string(sci + 2, 16);
  const int exponent = std::atoi(std::strchr(sci, 'e') + 1);
  // |x| * 10^6 = digits * 10^(exponent - 10); round that to an integer.
  const int shift = exponent - 10;
  std::string units;
  if (shift >= 0) {
    units = digits + std::string(static_cast<std::size_t>(shift), '0');
  } else {
    const int drop = -shift;
    char firstDropped = '0';
    if (drop <= 17) {
      units = digits.substr(0, static_cast<std::size_t>(17 - drop));
      firstDropped = digits[static_cast<std::size_t>(17 - drop)];
    }
    if (firstDropped >= '5') {
      if (units.empty()) units = "0";
      Increment(units);
    }
  }
  while (units.size() > 1 && units[0] == '0') units.erase(0, 1);
  if (units.size() < 7) units.insert(0, 7 - units.size(), '0');
  units.insert(units.size() - 6, ".");
  return (std::signbit(x) ? "-" : "") + units;
}

double SimpleReadNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  std::size_t j = i;
  if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
  if (j >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.')) return 0.0;
  std::string copy = text.c_str();  // stops at a NUL, as reading does
  for (char& c : copy) {
    if (c == 'd' || c == 'D') c = 'e';
    if (c == 'x' || c == 'X' || c == 'p' || c == 'P') c = '!';
  }
  return std::strtod(copy.c_str(), nullptr);
}

bool SimpleParseDate(const std::string& text, std::int32_t& day, std::int32_t& month, std::int32_t& year) {
  const char* pattern;
  if (text.find('-') != std::string::npos) {
    pattern = "%ld-%ld-%ld";
  } else if (text.find('/') != std::string::npos) {
    pattern = "%ld/%ld/%ld";
  } else {
    return false;
  }
  long fields[3];
  if (std::sscanf(text.c_str(), pattern, &fields[0], &fields[1], &fields[2]) != 3) return false;
  day = Saturate(fields[0]);
  month = Saturate(fields[1]);
  year = Saturate(fields[2]);
  if (year < 38) {
    year += 2000;
  } else if (year < 1000) {
    year += 1900;
  }
  return true;
}

}  // namespace vell::fuzzing
