// The functions over argument lists: IF, AND, OR, MIN, MAX, SUM and ROUND.
// Each takes the upper-cased argument text: the term after its keyword,
// without the closing ")".
#pragma once

#include <string>
#include <string_view>

namespace vell {

struct EngineState;

// A range FIRST:LAST may name at most this many variables.
constexpr long long kMaxRangeMembers = 1000000;

bool EvaluateIf(EngineState& engine, std::string_view args, std::string& out);
bool EvaluateAnd(EngineState& engine, std::string_view args, std::string& out);
bool EvaluateOr(EngineState& engine, std::string_view args, std::string& out);
bool EvaluateMin(EngineState& engine, std::string_view args, std::string& out);
bool EvaluateMax(EngineState& engine, std::string_view args, std::string& out);
bool EvaluateSum(EngineState& engine, std::string_view args, std::string& out);
bool EvaluateRound(EngineState& engine, std::string_view args, std::string& out);

// x rounded to a multiple of step, halves away from zero.
double RoundToStep(double x, double step);

}  // namespace vell
