// A range's aggregate written as its definition: every member name built and
// evaluated in turn, to hold the engine's shortcuts against.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vell {
struct EngineState;
}

namespace vell::testing {

// What SUM, MIN or MAX (keyword without "(") gives for the members stem + i,
// i from first to last, evaluating into out as the handlers do (SUM into a
// fresh text, MIN and MAX into out itself).
bool MemberByMemberRange(EngineState& engine, std::string_view keyword, std::string_view stem, std::int32_t first,
                         std::int32_t last, std::string& out);

// The range call KEYWORD(stem first:stem last).
std::string RangeTerm(std::string_view keyword, std::string_view stem, std::int32_t first, std::int32_t last);

}  // namespace vell::testing
