// The functions over argument lists: IF, AND, OR, MIN, MAX, SUM and ROUND.
// Each takes the whole upper-cased term, keyword included.
#pragma once

#include <string>
#include <string_view>

namespace vell {

// A range FIRST:LAST may name at most this many variables.
constexpr long long kMaxRangeMembers = 1000000;

bool EvaluateIf(std::string_view term, std::string& out);
bool EvaluateAnd(std::string_view term, std::string& out);
bool EvaluateOr(std::string_view term, std::string& out);
bool EvaluateMin(std::string_view term, std::string& out);
bool EvaluateMax(std::string_view term, std::string& out);
bool EvaluateSum(std::string_view term, std::string& out);
bool EvaluateRound(std::string_view term, std::string& out);

// x rounded to a multiple of step, halves away from zero.
double RoundToStep(double x, double step);

}  // namespace vell
