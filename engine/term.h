// Terms: numerals, function calls, parenthesised text and variable names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "evaluator_steps.h"

namespace vell {

struct EngineState;
struct KnownNumber;

// A trimmed, non-empty term without an operator at depth 0 beyond its first
// character. Upper-cases it, then evaluates it as numeral, function call,
// parenthesised expression or variable name.
// With number, a call that gives a number may leave its text pending there.
bool EvaluateTerm(EngineState& engine, std::string_view term, std::string& out, KnownNumber* number = nullptr);

// Appends the items of a comma-separated text, split at the commas of
// parenthesis depth 0. Items are not trimmed; a trailing empty item is dropped.
void SplitArguments(std::string_view text, std::vector<std::string_view>& items);
void SplitArguments(std::string_view text, std::vector<std::string>& items);
// The same, quicker over long texts of an evaluation (deep nesting).
void SplitArguments(const EngineState& engine, std::string_view text, std::vector<std::string_view>& items);

// What EvaluateTerm makes of every member term stem + digits: a numeral, a
// call (which fails: it ends in a digit, not its ")") or, upper-cased into
// upper, a name.
StemWalker::Innermost ClassifyStemTerm(std::string_view stem, std::string& upper);

// The value of an upper-case name from the value map, with the list-variable
// rule for text values; "0.0" and false when the name is unknown.
bool LookUpVariable(EngineState& engine, std::string_view name, std::string& out);

}  // namespace vell
