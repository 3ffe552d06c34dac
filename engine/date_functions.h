// The date functions DATE, DAYS360 and DAY. Each takes the upper-cased
// argument text: the term after its keyword, without the closing ")".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vell {

struct EngineState;

bool EvaluateDate(EngineState& engine, std::string_view args, std::string& out);
bool EvaluateDays360(EngineState& engine, std::string_view args, std::string& out);
bool EvaluateDay(EngineState& engine, std::string_view args, std::string& out);

// Seconds from 1970-01-01 to the midnight of the civil date, proleptic
// Gregorian, whole days only. Out-of-range fields carry over as mktime does
// (day 0 is the last day of the previous month, month 13 January next year).
std::int64_t DateToTime(std::int32_t day, std::int32_t month, std::int32_t year);

}  // namespace vell
