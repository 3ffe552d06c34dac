// The one-argument mathematical functions (angles in degrees), POW and NROOT.
// Each takes the whole upper-cased term, keyword included.
#pragma once

#include <string>
#include <string_view>

namespace vell {

// The angle constant of every degree conversion (not the double nearest pi).
constexpr double kAngleConstant = 3.1415926535;
// The double nearest 1/180.
constexpr double kOneOver180 = 0.005555555555555556;

bool EvaluateSin(std::string_view term, std::string& out);
bool EvaluateCos(std::string_view term, std::string& out);
bool EvaluateTan(std::string_view term, std::string& out);
bool EvaluateAsin(std::string_view term, std::string& out);
bool EvaluateAcos(std::string_view term, std::string& out);
bool EvaluateAtan(std::string_view term, std::string& out);
bool EvaluateSqrt(std::string_view term, std::string& out);
bool EvaluateSqr(std::string_view term, std::string& out);
bool EvaluateLog(std::string_view term, std::string& out);
bool EvaluateLn(std::string_view term, std::string& out);
bool EvaluateLog10(std::string_view term, std::string& out);
bool EvaluateExp(std::string_view term, std::string& out);
bool EvaluateAlog(std::string_view term, std::string& out);
bool EvaluateAlog10(std::string_view term, std::string& out);
bool EvaluatePow10(std::string_view term, std::string& out);
bool EvaluatePow(std::string_view term, std::string& out);
bool EvaluateNroot(std::string_view term, std::string& out);

}  // namespace vell
