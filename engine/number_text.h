// Numbers to value text and back, independent of the C library's locale.
#pragma once

#include <string>
#include <string_view>

namespace vell {

// Longest text FormatNumber can write: 309 integer digits, sign, point, 6 decimals.
constexpr std::size_t kMaxNumberText = 320;

// Writes x in fixed notation with exactly six decimals ("%f"), the digits taken
// from x rounded to 17 significant digits and the six-decimal cut rounding half
// away from zero. A non-finite x is written as the error value "E".
void FormatNumber(double x, std::string& out);

// The same into a buffer of at least kMaxNumberText bytes; returns the length.
std::size_t FormatNumberTo(double x, char* buffer);

// Writes x as FormatNumber does and returns what ReadNumber gives for the
// written text, mostly without reading it back.
double FormatNumberAndRead(double x, std::string& out);
// What ReadNumber gives for FormatNumber's text of x, mostly without
// writing the text (0 for the "E" of a number that is not finite).
double RoundAsWritten(double x);

// The number a value text begins with, read as a decimal number: white space
// skipped, optional sign, digits with an optional fraction, an optional
// exponent introduced by E, e, D or d. 0 when the text does not begin with one.
double ReadNumber(std::string_view text);
// Whether text is a plain numeral (digits and "." only, not empty), which
// evaluates to itself: no sign, quote, operator, letter or percent sign; then
// value is what ReadNumber gives for it, read in the same pass when short.
bool ReadPlainNumeral(std::string_view text, double& value);

}  // namespace vell

namespace vell {

// An integer in decimal ("%d").
std::string IntegerText(long long value);

}  // namespace vell
