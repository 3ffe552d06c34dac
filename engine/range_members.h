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
// count members in a row with the same success come in one call, the k-th
// of them (from 0) reading as value + k * step. A step other than 0 comes
// only with whole numbers of at most 2^32 in size.
using MemberVisitor = std::function<void(bool ok, double value, double step, long long count)>;

// Evaluates stem + IntegerText(i) for i from first to last exactly as
// EvaluateExpression would, at the current nesting. slot plays the result
// text each member is evaluated into.
// The stem's own part of the work is done once, and members of a plain stem
// missing from a large value map cost no look-up each, so a million members
// stay cheap whatever the stem. With extremesOnly the visitor only keeps the
// least or the greatest value, so members whose values lie between two it
// has been given (with the same success) may be left out.
void EvaluateRangeMembers(EngineState& engine, std::string_view stem, std::int32_t first, std::int32_t last,
                          std::string& slot, bool extremesOnly, const MemberVisitor& visit);

}  // namespace vell
