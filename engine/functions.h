// The built-in functions: one row each, tried in the table's order. Adding
// a function is adding its row.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vell {

struct EngineState;
struct KnownNumber;

// The angle constant of every degree conversion (not the double nearest pi).
constexpr double kAngleConstant = 3.1415926535;
// The double nearest 1/180.
constexpr double kOneOver180 = 0.005555555555555556;

// How a call's argument text (after the keyword, without the term's last
// character) becomes its value.
enum class ArgumentForm {
  kNumber,             // one expression; its number goes through the function
  kNonNegativeNumber,  // the same, but a negative number fails with "E"
  kTwoNumbers,         // "a,b" split at the first comma; a failed operand gives "E"
  kList,               // the handler takes the argument text itself
};

using ListHandler = bool (*)(EngineState& engine, std::string_view arguments, std::string& out);

struct Function {
  std::string_view keyword;  // the name with its "("; none is a prefix of another
  ArgumentForm form;
  double (*one)(double);          // kNumber, kNonNegativeNumber
  double (*two)(double, double);  // kTwoNumbers
  ListHandler list;               // kList
};

// The whole table, in the order keywords are tried.
const Function* FunctionsBegin();
const Function* FunctionsEnd();

// The function whose keyword begins the upper-case term, or nullptr.
const Function* FindFunction(std::string_view term);

// Evaluates a call of f; arguments is the term without keyword and last
// character. With number, a number result may be left pending there.
bool CallFunction(EngineState& engine, const Function& f, std::string_view arguments, std::string& out,
                  KnownNumber* number = nullptr);

}  // namespace vell
