// The members of a range FIRST:LAST: the stem followed by each number from
// first to last, every one evaluated as an expression.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vell {

struct EngineState;

// Gets each member's success and the number its value reads as, in order;
// count members in a row with the same outcome come in one call.
using MemberVisitor = std::function<void(bool ok, double value, long long count)>;

// Evaluates stem + IntegerText(i) for i from first to last exactly as
// EvaluateExpression would, at the current nesting. slot plays the result
// text each member is evaluated into.
// The stem's own part of the work is done once, and members of a plain stem
// missing from a large value map cost no look-up each, so a million members
// stay cheap whatever the stem.
void EvaluateRangeMembers(EngineState& engine, std::string_view stem, std::int32_t first, std::int32_t last,
                          std::string& slot, const MemberVisitor& visit);

}  // namespace vell
