// Plain, slow versions of the engine's number conversions built on the C
// library (in its default "C" locale), to check the engine's own code against.
#pragma once

#include <cstdint>
#include <string>

namespace vell::fuzzing {

// "%f" with the digits of x rounded to 17 significant digits first and the
// six-decimal cut rounding half away from zero; "E" for a non-finite x.
std::string SimpleFormatNumber(double x);

// The leading decimal number as strtod reads it, with D and d as exponent
// letters and without hexadecimal, infinity or not-a-number forms.
double SimpleReadNumber(const std::string& text);

// sscanf with "%ld-%ld-%ld" (or "/"), fields saturated to 32 bits, the year widened.
bool SimpleParseDate(const std::string& text, std::int32_t& day, std::int32_t& month, std::int32_t& year);

}  // namespace vell::fuzzing
