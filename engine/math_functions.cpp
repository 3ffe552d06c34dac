#include "math_functions.h"

#include <cmath>

#include "evaluator.h"
#include "number_text.h"
#include "term.h"

namespace vell {

namespace {

double ToRadians(double degrees) { return (degrees * kAngleConstant) * kOneOver180; }
double ToDegrees(double radians) { return (radians * 180.0) / kAngleConstant; }

// Evaluates the argument into out, applies f and writes the result; a
// non-finite result is the error value "E".
template <typename F>
bool OneArgument(std::string_view term, std::size_t keywordLength, std::string& out, F f) {
  if (!EvaluateExpression(ArgumentText(term, keywordLength), out)) return false;
  FormatNumber(f(ReadNumber(out)), out);
  return true;
}

bool TwoOperands(std::string_view term, std::size_t keywordLength, std::string& out, bool root) {
  const std::string_view args = ArgumentText(term, keywordLength);
  const std::size_t comma = args.find(',');
  if (comma == std::string_view::npos || comma == 0) {
    out = "E";
    return true;
  }
  std::string first, second;
  if (!EvaluateExpression(args.substr(0, comma), first) || !EvaluateExpression(args.substr(comma + 1), second)) {
    out = "E";
    return true;
  }
  const double a = ReadNumber(first);
  const double b = ReadNumber(second);
  FormatNumber(root ? std::pow(a, 1.0 / b) : std::pow(a, b), out);
  return true;
}

}  // namespace

bool EvaluateSin(std::string_view t, std::string& out) {
  return OneArgument(t, 4, out, [](double x) { return std::sin(ToRadians(x)); });
}
bool EvaluateCos(std::string_view t, std::string& out) {
  return OneArgument(t, 4, out, [](double x) { return std::cos(ToRadians(x)); });
}
bool EvaluateTan(std::string_view t, std::string& out) {
  return OneArgument(t, 4, out, [](double x) { return std::tan(ToRadians(x)); });
}
bool EvaluateAsin(std::string_view t, std::string& out) {
  return OneArgument(t, 5, out, [](double x) { return ToDegrees(std::asin(x)); });
}
bool EvaluateAcos(std::string_view t, std::string& out) {
  return OneArgument(t, 5, out, [](double x) { return ToDegrees(std::acos(x)); });
}
bool EvaluateAtan(std::string_view t, std::string& out) {
  return OneArgument(t, 5, out, [](double x) { return ToDegrees(std::atan(x)); });
}
bool EvaluateSqrt(std::string_view t, std::string& out) {
  if (!EvaluateExpression(ArgumentText(t, 5), out)) return false;
  const double x = ReadNumber(out);
  if (x < 0) {
    out = "E";
    return false;
  }
  FormatNumber(std::sqrt(x), out);
  return true;
}
bool EvaluateSqr(std::string_view t, std::string& out) {
  return OneArgument(t, 4, out, [](double x) { return x * x; });
}
bool EvaluateLog(std::string_view t, std::string& out) {
  return OneArgument(t, 4, out, [](double x) { return std::log(x); });
}
bool EvaluateLn(std::string_view t, std::string& out) {
  return OneArgument(t, 3, out, [](double x) { return std::log(x); });
}
bool EvaluateLog10(std::string_view t, std::string& out) {
  return OneArgument(t, 6, out, [](double x) { return std::log10(x); });
}
bool EvaluateExp(std::string_view t, std::string& out) {
  return OneArgument(t, 4, out, [](double x) { return std::exp(x); });
}
bool EvaluateAlog(std::string_view t, std::string& out) {
  return OneArgument(t, 5, out, [](double x) { return std::exp(x); });
}
bool EvaluateAlog10(std::string_view t, std::string& out) {
  return OneArgument(t, 7, out, [](double x) { return std::pow(10.0, x); });
}
bool EvaluatePow10(std::string_view t, std::string& out) {
  return OneArgument(t, 6, out, [](double x) { return std::pow(10.0, x); });
}
bool EvaluatePow(std::string_view t, std::string& out) { return TwoOperands(t, 4, out, false); }
bool EvaluateNroot(std::string_view t, std::string& out) { return TwoOperands(t, 6, out, true); }

}  // namespace vell
