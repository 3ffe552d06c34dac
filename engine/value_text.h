// Value text: classification, conversions and the display form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vell {

// Space, tab, line feed, vertical tab, form feed, carriage return.
inline bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
std::string_view TrimWhiteSpaceSlowly(std::string_view text);
inline std::string_view TrimWhiteSpace(std::string_view text) {
  // Most texts the evaluator trims have nothing to trim.
  if (text.empty() || (static_cast<unsigned char>(text.front()) > ' ' && static_cast<unsigned char>(text.back()) > ' '))
    return text;
  return TrimWhiteSpaceSlowly(text);
}
// ASCII letters a-z become A-Z; every other byte is kept.
void ToUpperAscii(std::string& text);
bool HasLowerAscii(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Digits and "." anywhere, "-" as the first and "%" as the last character.
bool IsNumeral(std::string_view text);
// Non-empty and ASCII letters only.
bool IsLetters(std::string_view text);
// A numeral ending in "%" becomes its hundredth as number text; any other
// numeral is copied unchanged. Always true.
bool ApplyPercent(std::string_view numeral, std::string& out);
// The decimal digits at the end (never the first character) as an integer,
// saturated to the 32-bit range; prefix receives the rest.
std::int32_t SplitTrailingNumber(std::string_view text, std::string& prefix);
// "d-m-y" or else "d/m/y" read like sscanf's "%d-%d-%d"; the year widened:
// below 38 plus 2000, 38 to 999 plus 1900, 1000 and above as written.
bool ParseDate(std::string_view text, std::int32_t& day, std::int32_t& month, std::int32_t& year);
bool IsDate(std::string_view text);
// The display form: insignificant zeros removed ("3.500000" -> "3.5").
void TrimTrailingZeros(std::string& text);

}  // namespace vell
